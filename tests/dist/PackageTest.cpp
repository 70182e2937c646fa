// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package, made by CPack from the build into a fresh folder: what it holds, what it
// depends on, its copyright and changelog, and that lintian and the validators of its desktop entry
// and AppStream metainfo find nothing wrong.

#include <gtest/gtest.h>

#include <filesystem>

#include "Shell.h"
#include "TempDir.h"

namespace {
class PackageTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        s_log = RunShell(KVT_CPACK " -G DEB --config " KVT_CPACK_CONFIG " -B " + Quoted(s_dir->Path()) + " 2>&1").out;
        for (const auto& entry : std::filesystem::directory_iterator(s_dir->Path()))
            if (entry.path().extension() == ".deb")
                s_deb = Quoted(entry.path());
        RunShell("dpkg-deb -x " + s_deb + " " + Quoted(*s_dir / "root"));
    }
    static void TearDownTestSuite() { delete s_dir; }
    void SetUp() override { ASSERT_FALSE(s_deb.empty()) << "cpack made no package:\n" << s_log; }

    static std::string Field(const std::string& name) { return RunShell("dpkg-deb -f " + s_deb + " " + name).out; }
    static std::string Unpacked(const std::string& path) { return Quoted(*s_dir / "root" / path); }

    static inline TempDir* s_dir = nullptr;
    static inline std::string s_log;
    static inline std::string s_deb;  // quoted for the shell
};
}  // namespace

TEST_F(PackageTest, HoldsTheProgramsAndWhatADesktopFindsUnderUsrOnly)
{
    EXPECT_EQ(Field("Package") + Field("Version"), "kvtplayer\n" KVT_VERSION "-1\n");
    const std::string list = RunShell("dpkg-deb -c " + s_deb + " | awk '{print $2, $6}'").out;
    for (const char* path : {"bin/kvt", "bin/kvtplayer", "share/man/man1/kvt.1.gz", "share/man/man1/kvtplayer.1.gz",
                             "share/bash-completion/completions/kvt", "share/applications/kvtplayer.desktop",
                             "share/mime/packages/kvtplayer.xml", "share/icons/hicolor/256x256/apps/kvtplayer.png",
                             "share/metainfo/org.example.vclab.kvtplayer.metainfo.xml", "bin/kvtstudio",
                             "share/man/man1/kvtstudio.1.gz", "share/applications/kvtstudio.desktop",
                             "share/icons/hicolor/256x256/apps/kvtstudio.png",
                             "share/metainfo/org.example.vclab.kvtstudio.metainfo.xml"})
        EXPECT_NE(list.find(std::string("root/root ./usr/") + path + "\n"), std::string::npos) << path;
    for (const std::string& line : SplitOn(list, '\n')) {
        EXPECT_EQ(line.rfind("root/root ./usr/", 0), 0u) << line;
        EXPECT_EQ(line.find_first_of("*?"), std::string::npos) << line;
        for (const char* stray : {".a", ".h", ".cmake"})
            EXPECT_FALSE(line.ends_with(stray)) << line;
    }
    // Stripped, and they still run.
    EXPECT_EQ(RunShell(Unpacked("usr/bin/kvt") + " --version").status, 0);
    EXPECT_EQ(RunShell("readelf -S " + Unpacked("usr/bin/kvtplayer")).out.find(".symtab"), std::string::npos);
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
    for (const char* program : {"kvtplayer", "kvtstudio"}) {
        EXPECT_EQ(RunShell("desktop-file-validate " + Unpacked("usr/share/applications/" + std::string(program) + ".desktop") +
                           " 2>&1; echo $?")
                      .out,
                  "0\n")
            << program;
        const ShellRun metainfo = RunShell("appstreamcli validate --no-net --strict " +
                                           Unpacked("usr/share/metainfo/org.example.vclab." + std::string(program) +
                                                    ".metainfo.xml") +
                                           " 2>&1");
        EXPECT_EQ(metainfo.status, 0) << program << metainfo.out;
    }
}

TEST_F(PackageTest, CarriesItsLicenceInDebiansCopyrightFormatAndAChangelogOfItsVersion)
{
    const std::string copyright = RunShell("cat " + Unpacked("usr/share/doc/kvtplayer/copyright")).out;
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
    EXPECT_NE(copyright.find("\n\nFiles: *\nCopyright: "), std::string::npos) << copyright;
    EXPECT_NE(copyright.find("\nLicense: GPL-3+\n"), std::string::npos) << copyright;
    EXPECT_NE(copyright.find("/usr/share/common-licenses/GPL-3"), std::string::npos) << copyright;
    EXPECT_EQ(RunShell("zcat " + Unpacked("usr/share/doc/kvtplayer/changelog.Debian.gz") + " | head -n 1").out,
              "kvtplayer (" KVT_VERSION "-1) unstable; urgency=medium\n");
}

TEST_F(PackageTest, LintianFindsNoErrorOrWarning)
{
    if (RunShell("command -v lintian").status != 0)
        GTEST_SKIP() << "lintian is not installed";
    const ShellRun lintian = RunShell("lintian --fail-on error,warning " + s_deb + " 2>&1");
    EXPECT_EQ(lintian.status, 0) << lintian.out;
}
