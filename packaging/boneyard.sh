#!/bin/sh
# The command a player types: runs the game in its data folder, since the game reads its
# textures, walk cycle and models from its current directory. Paths are found from where
# this script lies, so the same rules also serve an install under another prefix.
set -e
prefix=$(dirname "$(dirname "$(readlink -f "$0")")")
cd "$prefix/share/games/boneyard"
exec "$prefix/lib/games/boneyard/boneyard" "$@"
