// A folder of the test's own under the temporary folder, removed with
// everything in it. Several test runs share the machine's temporary folder:
// a fixed name there would let one run delete another's files.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vtest {

class CTempFolder {
public:
    explicit CTempFolder(const std::string& strStem = "veltran")
    {
        namespace fs = std::filesystem;
        const fs::path base = fs::temp_directory_path();
        std::random_device random;
        // create_directory fails on a name that exists, so the folder is ours alone.
        for (int nTry = 0; nTry < 100; nTry++) {
            const fs::path path = base / (strStem + "_" + std::to_string(random()));
            std::error_code ec;
            if (fs::create_directory(path, ec)) {
                m_path = path;
                return;
            }
        }
        throw std::runtime_error("no private folder under " + base.string());
    }
    ~CTempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder, or a name inside it, as the platform writes paths.
    std::string Str() const { return m_path.string(); }
    std::string Str(const std::string& strName) const { return (m_path / strName).string(); }

private:
    std::filesystem::path m_path;
};

}  // namespace vtest
