// Test helper: a fresh temporary directory that is the working directory and the settings
// store of one test, so no test touches the user's files. Removed with everything in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

class CTempWorkDir {
public:
    CTempWorkDir() : m_previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-app-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = std::filesystem::canonical(pattern);
        std::filesystem::create_directory(m_path / "config");
        setenv("VANTREL_CONFIG_DIR", (m_path / "config").c_str(), 1);
        std::filesystem::current_path(m_path);
    }
    ~CTempWorkDir() {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CTempWorkDir(const CTempWorkDir&) = delete;
    CTempWorkDir& operator=(const CTempWorkDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    static void WriteFile(const std::filesystem::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};
