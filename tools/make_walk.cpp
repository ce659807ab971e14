// make_walk: writes the dog's walk cycle, "walk.txt", into the folder given as the only
// argument. The output is the same bytes on every run.
//
// The game plays the key frames forward and then backward, so the frames cover one half
// of a stride: from the first extreme (front-left and back-right feet forward, the other
// diagonal pair back) to the opposite one. Played back, they make the other half. The
// legs move in diagonal pairs, as in a trot; the neck dips and the head nods at the two
// footfalls, the head sways a little with the stride and the tail wags from side to side.

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int    FRAMES        = 7;   // key frames from one extreme of the stride to the other
// One animation step between frames: the dog takes one step per key press, 0.2 units, so a
// half stride of six steps covers 1.2 units, about what a foot travels at this swing.
constexpr int    STRETCH_STEPS = 1;   // animation steps (hundredths of key time) between frames
constexpr double PI            = 3.14159265358979323846;

// Degrees. A positive swing moves a foot backward; a negative splay moves a left foot outward.
constexpr double FRONT_SWING = -8.0;   // the front legs' middle position, a little forward
constexpr double BACK_SWING  = 8.0;    // the back legs' middle position, a little behind
constexpr double STRIDE      = 18.0;   // swing either side of the middle
constexpr double SPLAY       = 4.0;    // every foot slightly outward
constexpr double NECK_PITCH  = 34.0;   // at the footfalls; 4 less at mid-stride
constexpr double HEAD_PITCH  = 24.0;   // nose-down at the footfalls; 4 less at mid-stride
constexpr double NOD         = 4.0;
constexpr double HEAD_SWAY   = 3.0;
constexpr double TAIL_PITCH  = -40.0;  // back from vertical; 4 further back at mid-stride
constexpr double TAIL_DROP   = 4.0;
constexpr double TAIL_WAG    = 18.0;

int degrees(double value) {
    return static_cast<int>(std::lround(value));
}

// One line: key time, three unused fields, then the angles with neckTwist last.
std::string keyFrameLine(int frame) {
    const double along = PI * frame / (FRAMES - 1);
    const double sweep = -std::cos(along);  // -1 at the first extreme, +1 at the other, eased
    const double mid   = std::sin(along);   // 0 at the extremes, 1 at mid-stride

    const int bodyPitch       = 0;
    const int neckPitch       = degrees(NECK_PITCH - NOD * mid);
    const int headPitch       = degrees(HEAD_PITCH - NOD * mid);
    const int headYaw         = degrees(HEAD_SWAY * sweep);
    const int frontLeftSwing  = degrees(FRONT_SWING + STRIDE * sweep);
    const int frontRightSwing = degrees(FRONT_SWING - STRIDE * sweep);
    const int backLeftSwing   = degrees(BACK_SWING - STRIDE * sweep);
    const int backRightSwing  = degrees(BACK_SWING + STRIDE * sweep);
    const int leftSplay       = degrees(-SPLAY);
    const int rightSplay      = degrees(SPLAY);
    const int tailPitch       = degrees(TAIL_PITCH - TAIL_DROP * mid);
    const int tailWag         = degrees(TAIL_WAG * sweep);
    const int neckTwist       = 0;

    const int hundredths = frame * STRETCH_STEPS;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%d.%02d 0 0 0 %d %d %d %d %d %d %d %d %d %d %d %d %d %d %d\n",
                  hundredths / 100, hundredths % 100,
                  bodyPitch, neckPitch, headPitch, headYaw,
                  frontLeftSwing, leftSplay, frontRightSwing, rightSplay,
                  backLeftSwing, leftSplay, backRightSwing, rightSplay,
                  tailPitch, tailWag, neckTwist);
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_walk OUTPUT_FOLDER\n");
        return 2;
    }
    std::string contents;
    for (int frame = 0; frame < FRAMES; ++frame) contents += keyFrameLine(frame);

    const std::string path = std::string(argv[1]) + "/walk.txt";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "make_walk: %s: cannot open: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    const int  writeError = errno;
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_walk: %s: cannot write: %s\n", path.c_str(),
                     std::strerror(written ? errno : writeError));
        return 1;
    }
    return 0;
}
