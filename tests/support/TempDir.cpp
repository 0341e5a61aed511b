#include "TempDir.h"

#include "base/encodings/TextEncoding.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

CScratchFolder::CScratchFolder() {
    std::error_code ec;
    fs::path parent = fs::temp_directory_path(ec);
    if (ec) parent = "/tmp";
    std::string pattern = (parent / "bctest.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder under " + parent.string());
    m_native = pattern;
    m_path = base::encodings::WideFromUtf8(m_native);
}

std::wstring CScratchFolder::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::string path = m_native + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return base::encodings::WideFromUtf8(path);
}

CScratchFolder::~CScratchFolder() {
    std::error_code ec;
    // A test may have taken away write permission from a folder; give it back so all goes.
    for (fs::recursive_directory_iterator it(m_native, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_native, ec);
}
