#ifndef BONEYARD_TEST_TEMPDIR_H
#define BONEYARD_TEST_TEMPDIR_H

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

// A fresh folder under the system temp directory, removed with everything in it when
// the object goes out of scope.
class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "boneyard-XXXXXX").string();
        if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Writes `contents` byte for byte (no newline translation) and returns the full path.
    std::string write(const std::string& name, const std::string& contents) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out << contents;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

// Makes `dir` the current directory for the lifetime of the object; the game's readers
// open their files by name relative to it.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedChdir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    ScopedChdir(const ScopedChdir&) = delete;
    ScopedChdir& operator=(const ScopedChdir&) = delete;

private:
    std::filesystem::path previous_;
};

#endif
