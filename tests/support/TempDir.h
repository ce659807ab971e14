#ifndef BONEYARD_TEST_TEMPDIR_H
#define BONEYARD_TEST_TEMPDIR_H

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

// A fresh folder under the system temp directory, removed with its contents at scope end.
class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "boneyard-XXXXXX").string();
        if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~TempDir() { std::error_code ignored; std::filesystem::remove_all(path_, ignored); }
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {  // as given; returns the path
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

// The current directory while it lives: the game opens its data files by name.
struct ScopedChdir {
    std::filesystem::path previous = std::filesystem::current_path();
    explicit ScopedChdir(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
    ~ScopedChdir() { std::error_code ignored; std::filesystem::current_path(previous, ignored); }
};

#endif
