// The Debian package, made by CPack from the build into a fresh folder: what it holds, what it
// depends on, and that its desktop entry and AppStream metainfo pass their validators.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "Shell.h"
#include "TempDir.h"

namespace {
class PackageTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        const ShellRun cpack = RunShell(Quoted(KVT_CPACK) + " -G DEB --config " + Quoted(KVT_CPACK_CONFIG) + " -B " +
                                        Quoted(s_dir->Path().string()) + " 2>&1");
        s_log = cpack.out;
        for (const auto& entry : std::filesystem::directory_iterator(s_dir->Path()))
            if (entry.path().extension() == ".deb")
                s_deb = entry.path();
        if (!s_deb.empty())
            RunShell("dpkg-deb -x " + Quoted(s_deb.string()) + " " + Quoted((*s_dir / "root").string()));
    }
    static void TearDownTestSuite() { delete s_dir; }

    void SetUp() override { ASSERT_FALSE(s_deb.empty()) << "cpack made no package:\n" << s_log; }

    static std::string Field(const std::string& name)
    {
        return RunShell("dpkg-deb -f " + Quoted(s_deb.string()) + " " + name).out;
    }
    static std::filesystem::path Unpacked(const std::string& path) { return *s_dir / "root" / path; }

    static TempDir* s_dir;
    static std::string s_log;
    static std::filesystem::path s_deb;
};
TempDir* PackageTest::s_dir = nullptr;
std::string PackageTest::s_log;
std::filesystem::path PackageTest::s_deb;
}  // namespace

TEST_F(PackageTest, NamedAndVersionedAsTheProject)
{
    EXPECT_EQ(s_deb.filename().string().rfind("kvtplayer_" KVT_VERSION "-", 0), 0u) << s_deb;
    EXPECT_EQ(Field("Package"), "kvtplayer\n");
    EXPECT_EQ(Field("Version").rfind(KVT_VERSION "-", 0), 0u);
}

TEST_F(PackageTest, HoldsWhatAUserExpectsUnderUsrOnly)
{
    const ShellRun list = RunShell("dpkg-deb -c " + Quoted(s_deb.string()) + " | awk '{print $2, $6}'");
    ASSERT_EQ(list.status, 0);
    for (const char* path : {"usr/bin/kvt", "usr/bin/kvtplayer", "usr/share/man/man1/kvt.1.gz",
                             "usr/share/man/man1/kvtplayer.1.gz", "usr/share/bash-completion/completions/kvt",
                             "usr/share/applications/kvtplayer.desktop", "usr/share/mime/packages/kvtplayer.xml",
                             "usr/share/metainfo/org.example.vclab.kvtplayer.metainfo.xml",
                             "usr/share/icons/hicolor/256x256/apps/kvtplayer.png"})
        EXPECT_NE(list.out.find(std::string("root/root ./") + path + "\n"), std::string::npos) << path;
    for (const std::string& line : SplitOn(list.out, '\n')) {
        EXPECT_EQ(line.rfind("root/root ./usr/", 0), 0u) << line;
        for (const char* stray : {".a\n", ".h\n", "CMakeFiles", "include/"})
            EXPECT_EQ((line + "\n").find(stray), std::string::npos) << line;
    }
    // The binaries went in stripped and still run.
    EXPECT_EQ(RunShell(Quoted(Unpacked("usr/bin/kvt").string()) + " --version").status, 0);
    EXPECT_EQ(RunShell("readelf -S " + Quoted(Unpacked("usr/bin/kvtplayer").string())).out.find(".symtab"),
              std::string::npos);
}

TEST_F(PackageTest, DependsOnTheLibrariesItLinksAndTheQtPlatformPlugins)
{
    const std::string depends = Field("Depends");
    for (const char* package : {"libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libavcodec", "libavformat",
                                "libswscale", "qt6-qpa-plugins"})
        EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;
    EXPECT_EQ(depends.find("-dev"), std::string::npos) << depends;
    EXPECT_NE(Field("Recommends").find("qt6-image-formats-plugins"), std::string::npos);
}

TEST_F(PackageTest, DesktopEntryAndMetainfoPassTheirValidators)
{
    const ShellRun desktop =
        RunShell("desktop-file-validate " + Quoted(Unpacked("usr/share/applications/kvtplayer.desktop").string()) + " 2>&1");
    EXPECT_EQ(desktop.status, 0) << desktop.out;
    EXPECT_EQ(desktop.out, "");

    const ShellRun metainfo = RunShell(
        "appstreamcli validate --no-net --strict " +
        Quoted(Unpacked("usr/share/metainfo/org.example.vclab.kvtplayer.metainfo.xml").string()) + " 2>&1");
    EXPECT_EQ(metainfo.status, 0) << metainfo.out;
}
