// The skin package as the build makes it: the zip that goes into the
// executable holds exactly the layouts and images of skin/ at its root, every
// image has the pixel size its layouts are drawn for, and every image a
// layout names is there. The zip is read here with a small reader of its own
// (central directory + zlib), independent of the framework's reader.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct ImageSize {
    const char* name;
    uint32_t width;
    uint32_t height;
};

// The sizes the seven layouts are drawn for.
constexpr ImageSize kImages[] = {
    {"bosskey_bg.png", 349, 167},
    {"bosskey_checked.png", 15, 15},
    {"bosskey_close.png", 28, 28},
    {"bosskey_ok.png", 70, 26},
    {"bosskey_unchecked.png", 15, 15},
    {"changeserver_bg.png", 320, 66},
    {"changeserver_selectlist.png", 142, 19},
    {"changeserver_userhead.png", 20, 20},
    {"game_bbs.png", 67, 28},
    {"game_bosskey.png", 67, 28},
    {"game_changeserver.png", 22, 22},
    {"game_close.png", 28, 24},
    {"game_hide.png", 28, 24},
    {"game_max.png", 28, 24},
    {"game_min.png", 28, 24},
    {"game_refresh.png", 67, 28},
    {"game_restore.png", 28, 24},
    {"game_top.png", 28, 58},
    {"game_topleft.png", 336, 58},
    {"game_topright.png", 406, 58},
    {"game_userhead.png", 80, 20},
    {"game_website.png", 67, 28},
    {"loading_bg.png", 590, 116},
    {"main_bg.png", 1228, 700},
    {"main_close_1.png", 35, 35},
    {"main_close_2.png", 35, 35},
    {"main_close_3.png", 35, 35},
    {"reggamedll_bg.png", 344, 264},
    {"reggamedll_close.png", 28, 28},
    {"reggamedll_install.png", 144, 34},
    {"update_bg.png", 590, 116},
    {"update_close_hover.png", 28, 28},
    {"update_close_normal.png", 28, 28},
    {"update_close_press.png", 28, 28},
    {"update_progress.png", 366, 18},
};

constexpr const char* kLayouts[] = {"main.xml", "update.xml",  "reggamedll.xml",  "loading.xml",
                                    "game.xml", "bosskey.xml", "changeserver.xml"};

constexpr size_t kMaxMember = 4194304;

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool ReadWholeFile(const std::string& path, std::string* out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out->clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    std::fclose(f);
    return true;
}

uint32_t Le16(const std::string& d, size_t at) {
    return static_cast<uint8_t>(d[at]) | static_cast<uint32_t>(static_cast<uint8_t>(d[at + 1]))
                                             << 8;
}
uint32_t Le32(const std::string& d, size_t at) {
    return Le16(d, at) | Le16(d, at + 2) << 16;
}
uint32_t Be32(const std::string& d, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(d[at + i]);
    return v;
}

struct Member {
    std::string name;
    uint32_t method = 0;
    std::string data;
};

// Reads every member of a zip archive; false with a reason on anything the
// launcher's reader could not take either.
bool ReadZip(const std::string& zip, std::vector<Member>* members, std::string* why) {
    if (zip.size() < 22) return *why = "shorter than an end record", false;
    size_t eocd = std::string::npos;
    for (size_t i = zip.size() - 22 + 1; i-- > 0 && zip.size() - i <= 22 + 65535;) {
        if (Le32(zip, i) == 0x06054b50) {
            eocd = i;
            break;
        }
    }
    if (eocd == std::string::npos) return *why = "no end of central directory", false;
    const uint32_t count = Le16(zip, eocd + 10);
    size_t at = Le32(zip, eocd + 16);
    for (uint32_t k = 0; k < count; ++k) {
        if (at + 46 > zip.size() || Le32(zip, at) != 0x02014b50)
            return *why = "bad central directory entry", false;
        Member m;
        m.method = Le16(zip, at + 10);
        const uint32_t csize = Le32(zip, at + 20), usize = Le32(zip, at + 24);
        const uint32_t nlen = Le16(zip, at + 28), xlen = Le16(zip, at + 30),
                       clen = Le16(zip, at + 32);
        const size_t local = Le32(zip, at + 42);
        if (at + 46 + nlen > zip.size()) return *why = "name past the end", false;
        m.name = zip.substr(at + 46, nlen);
        at += 46 + nlen + xlen + clen;
        if (local + 30 > zip.size() || Le32(zip, local) != 0x04034b50)
            return *why = "bad local header of " + m.name, false;
        const size_t start = local + 30 + Le16(zip, local + 26) + Le16(zip, local + 28);
        if (start + csize > zip.size()) return *why = "data past the end: " + m.name, false;
        if (usize > kMaxMember) return *why = "member too large: " + m.name, false;
        if (m.method == 0) {
            m.data = zip.substr(start, csize);
        } else if (m.method == 8) {
            m.data.assign(usize, '\0');
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return *why = "inflateInit2", false;
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + start));
            z.avail_in = csize;
            z.next_out = reinterpret_cast<Bytef*>(m.data.data());
            z.avail_out = usize;
            const int rc = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            if (rc != Z_STREAM_END || z.total_out != usize)
                return *why = "cannot inflate " + m.name, false;
        } else {
            return *why = "unsupported method of " + m.name, false;
        }
        members->push_back(std::move(m));
    }
    return true;
}

// Width and height from a PNG's IHDR chunk, which must come first.
bool PngSize(const std::string& png, uint32_t* width, uint32_t* height) {
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (png.size() < 33 || png.compare(0, 8, kSignature, 8) != 0) return false;
    if (Be32(png, 8) != 13 || png.compare(12, 4, "IHDR") != 0) return false;
    *width = Be32(png, 16);
    *height = Be32(png, 20);
    return true;
}

class SkinPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string zip, why;
        ASSERT_TRUE(ReadWholeFile(LAUNCHER_SKIN_PACKAGE, &zip)) << LAUNCHER_SKIN_PACKAGE;
        ASSERT_TRUE(ReadZip(zip, &members_, &why)) << why;
        for (const Member& m : members_) byName_[Lower(m.name)] = &m;
    }

    const Member* Find(const std::string& name) const {
        auto it = byName_.find(Lower(name));
        return it == byName_.end() ? nullptr : it->second;
    }

    std::vector<Member> members_;
    std::map<std::string, const Member*> byName_;
};

TEST_F(SkinPackageTest, EveryImageHasTheSizeItsLayoutIsDrawnFor) {
    for (const ImageSize& want : kImages) {
        SCOPED_TRACE(want.name);
        const Member* m = Find(want.name);
        ASSERT_NE(m, nullptr) << "missing from the package";
        uint32_t w = 0, h = 0;
        ASSERT_TRUE(PngSize(m->data, &w, &h)) << "not a PNG";
        EXPECT_EQ(w, want.width);
        EXPECT_EQ(h, want.height);
    }
}

// The package is skin/ as it stands (so a stale zip fails here), flat, each
// member once and each one the launcher knows.
TEST_F(SkinPackageTest, HoldsExactlyTheSkinFolderAtItsRoot) {
    std::set<std::string> known;
    for (const ImageSize& i : kImages) known.insert(i.name);
    for (const char* l : kLayouts) known.insert(l);

    std::set<std::string> inFolder;
    for (const auto& e : std::filesystem::directory_iterator(LAUNCHER_SKIN_DIR)) {
        const std::string ext = Lower(e.path().extension().string());
        if (ext == ".png" || ext == ".xml") inFolder.insert(e.path().filename().string());
    }

    std::set<std::string> seen;
    for (const Member& m : members_) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(m.name.find_first_of("/\\"), std::string::npos) << "not at the root";
        EXPECT_TRUE(seen.insert(Lower(m.name)).second) << "twice in the package";
        EXPECT_TRUE(known.count(m.name)) << "not a layout or image of the launcher";
        EXPECT_TRUE(m.method == 0 || m.method == 8);
        EXPECT_GT(m.data.size(), 0u);
        std::string onDisk;
        ASSERT_TRUE(ReadWholeFile(std::string(LAUNCHER_SKIN_DIR) + "/" + m.name, &onDisk))
            << "in the package but not in skin/";
        EXPECT_TRUE(onDisk == m.data) << "differs from skin/ (stale package)";
    }
    for (const std::string& f : inFolder) EXPECT_TRUE(seen.count(Lower(f))) << f << " not packed";

    // Once the layouts are in skin/ the package is the full 42 members.
    size_t layouts = 0;
    for (const char* l : kLayouts) layouts += Find(l) != nullptr;
    EXPECT_EQ(members_.size(), std::size(kImages) + layouts);
}

// Every image file named in a layout (bare, or as file='...' in the image
// syntax) is a member, whatever the letter case.
TEST_F(SkinPackageTest, EveryImageALayoutNamesIsInThePackage) {
    const std::regex image(R"([A-Za-z0-9_\-]+\.png)", std::regex::icase);
    for (const Member& m : members_) {
        if (Lower(m.name).size() < 4 || Lower(m.name).substr(m.name.size() - 4) != ".xml") continue;
        SCOPED_TRACE(m.name);
        size_t named = 0;
        for (auto it = std::sregex_iterator(m.data.begin(), m.data.end(), image);
             it != std::sregex_iterator(); ++it, ++named) {
            EXPECT_NE(Find(it->str()), nullptr) << it->str() << " is named but not packed";
        }
        EXPECT_GT(named, 0u) << "a layout without images";
    }
}

// The checks above must be able to fail: a damaged archive or image is
// refused, not read as empty.
TEST(SkinPackageReader, RefusesDamagedInput) {
    std::vector<Member> members;
    std::string why, zip;
    EXPECT_FALSE(ReadZip("", &members, &why));
    EXPECT_FALSE(ReadZip(std::string(100, 'x'), &members, &why));
    ASSERT_TRUE(ReadWholeFile(LAUNCHER_SKIN_PACKAGE, &zip));
    EXPECT_FALSE(
        ReadZip(zip.substr(0, zip.size() / 2) + zip.substr(zip.size() - 22), &members, &why));

    uint32_t w = 0, h = 0;
    EXPECT_FALSE(PngSize("\x89PNG\r\n\x1a\n", &w, &h));
    std::string fake = std::string("\x89PNG\r\n\x1a\n", 8) + std::string("\0\0\0\x0dIHDX", 8) +
                       std::string(17, '\0');
    EXPECT_FALSE(PngSize(fake, &w, &h));
}

}  // namespace
