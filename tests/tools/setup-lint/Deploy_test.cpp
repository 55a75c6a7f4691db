// "setup-lint --deploy" on small scripts: which uninstall entries a tool is
// told about and with which commands, the registry views of an x86
// setup.exe, what a tool cannot detect; and the texts of the package
// manager's manifest (YAML scalars, the licence title).
#include "DeployBuild.h"
#include "DeployViews.h"
#include "RtfText.h"
#include "Yaml.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// A medium in a new folder: `script` as setup.inf beside a setup.exe that
// is no more than a PE header for `machine`.
std::string MediumWith(const std::string& script, uint16_t machine = 0x014C)
{
    char folder[] = "/tmp/deploy-test-XXXXXX";
    EXPECT_NE(nullptr, mkdtemp(folder));
    std::string program(70, '\0');
    program[0] = 'M', program[1] = 'Z', program[60] = 64;
    program.replace(64, 4, std::string("PE\0\0", 4));
    program[68] = static_cast<char>(machine & 0xFF), program[69] = static_cast<char>(machine >> 8);
    std::ofstream(std::string(folder) + "/setup.exe", std::ios::binary) << program;
    std::ofstream(std::string(folder) + "/setup.inf", std::ios::binary) << script;
    return folder;
}

Deployment DeploymentOf(const std::string& script, uint16_t machine = 0x014C)
{
    const std::string folder = MediumWith(script, machine);
    Deployment deployment = MakeDeployment(ParseInf(script), "setup.inf", Medium(folder));
    std::system(("rm -rf " + folder).c_str());
    return deployment;
}

// A script whose install section adds the lines `install` to the copy of
// setup.exe and setup.inf, with the product lines `products` (sections
// A and B for them).
std::string Script(const std::string& install, const std::string& products)
{
    return "[Version]\nSignature=\"$Chicago$\"\n[SourceDisksNames]\n1 = Disk, setup.inf\n[SourceDisksFiles]\n"
           "setup.exe = 1\nsetup.inf = 1\n[DestinationDirs]\nDefaultDestDir = 24, Acme\nSetup.Files = 32768\n"
           "[Install]\nCopyFiles = Setup.Files\n" + install + "\n[Remove]\n[Setup.Files]\nsetup.exe\nsetup.inf\n"
           "[Products]\n" + products + "\n[Install.A]\n[Remove.A]\n[Install.B]\n[Remove.B]\n";
}

bool Mentions(const std::vector<std::string>& texts, const std::string& part)
{
    for (const std::string& text : texts)
        if (text.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(Deploy, EntriesAndTheirCommands)
{
    const Deployment d =
        DeploymentOf(Script("Uninstall = Suite, \"Acme Suite\"\nProductVer = 3.1\nStartApp = A, %32768%\\a.exe",
                            "A = \"Acme A\", Install.A, Remove.A, 3, 0, , 2.0\n"
                            "B = \"Acme B\", Install.B, Remove.B, 5, 0, , 1.5"));
    ASSERT_TRUE(d.Complete()) << (d.undetectable.empty() ? "" : d.undetectable[0]);
    ASSERT_EQ(3u, d.entries.size());
    EXPECT_EQ("setup.exe /quiet:A /newer:keep /startapp:0", d.Find("A")->installCommand);
    EXPECT_EQ("2.0", d.Find("A")->displayVersion);
    EXPECT_EQ(3010, d.Find("B")->install.exitCode) << "flag 4 asks for a restart";
    EXPECT_EQ("setup.exe /quiet /newer:keep /startapp:0", d.Find("Suite")->installCommand);
    EXPECT_EQ("3.1", d.Find("Suite")->displayVersion);
    EXPECT_EQ(std::vector<std::string>({"A", "Suite"}), d.defaultEntries) << "B is not checked by default";
    // An x86 setup.exe on 64-bit Windows: the 32-bit view and folders.
    const DeployView& redirected = d.Find("A")->views.at(0);
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A",
              redirected.registryKey);
    EXPECT_EQ("\"%ProgramFiles(x86)%\\Acme\\setup.exe\" /remove:A /quiet", redirected.quietUninstallString);
    EXPECT_EQ("%ProgramFiles%\\Acme", d.Find("A")->views.at(1).installLocation) << "on 32-bit Windows";
    EXPECT_EQ("%windir%\\SysWOW64\\drivers", RedirectedFor32Bit("%windir%\\System32\\drivers"));
    EXPECT_EQ("%windir%\\system32x", RedirectedFor32Bit("%windir%\\system32x")) << "only whole folder names";
}

TEST(Deploy, OneEntryForAProductAndTheWholeInstallation)
{
    const Deployment d = DeploymentOf(
        Script("Uninstall = A\nProductVer = 3.1",
               "A = Acme A, Install.A, Remove.A, 3, 0, , 2.0\nB = Acme B, Install.B, , 1"),
        0x8664);
    ASSERT_EQ(1u, d.entries.size());
    EXPECT_EQ(std::vector<std::string>({"A"}), d.entries[0].products);
    EXPECT_TRUE(d.entries[0].wholeInstallation);
    EXPECT_EQ("3.1", d.entries[0].displayVersion) << "the whole installation's entry is written last";
    EXPECT_EQ("setup.exe /quiet /newer:keep", d.entries[0].installCommand);
    ASSERT_EQ(1u, d.entries[0].views.size());
    EXPECT_EQ("64-bit", d.entries[0].views[0].view);
    EXPECT_TRUE(Mentions(d.entries[0].notes, "product B writes no uninstall entry of its own"));
}

TEST(Deploy, WhatAToolCannotDetect)
{
    const Deployment none = DeploymentOf(Script("", "A = \"Acme A\", Install.A, , 3, 0, , 2.0"));
    EXPECT_FALSE(none.Complete());
    EXPECT_TRUE(Mentions(none.undetectable, "setup.exe writes no uninstall entry"));
    const Deployment unversioned = DeploymentOf(Script("Uninstall = Suite", "A = \"Acme A\", Install.A, Remove.A, 3"));
    EXPECT_FALSE(unversioned.Complete());
    EXPECT_TRUE(Mentions(unversioned.undetectable, "the entry A gets no DisplayVersion"));
    EXPECT_TRUE(Mentions(unversioned.undetectable, "the entry Suite gets no DisplayVersion"));
    const Deployment foreign = DeploymentOf(Script("Uninstall = Suite\nProductVer = 1.0", ""), 0xAA64);
    EXPECT_TRUE(Mentions(foreign.undetectable, "no x64 or x86 Windows program"));
}

TEST(DeployManifest, YamlScalarsStayTexts)
{
    EXPECT_EQ("Vantor Modem Test", YamlScalar("Vantor Modem Test"));
    EXPECT_EQ("Finds it, tests it.", YamlScalar("Finds it, tests it."));
    for (const char* text : {"1.10", "1.1.0.0", "0123", "2024-01-31", "yes", "No", "on", "y", "NULL", "~", "a: b",
                             "a #b", "/quiet", "-x", "trailing "})
        EXPECT_EQ('\'', YamlScalar(text)[0]) << text;
    EXPECT_EQ("'it''s'", YamlScalar("it's"));
    EXPECT_EQ("\"a\\x0Ab\\\"\"", YamlScalar("a\nb\""));
    EXPECT_EQ("\xE2\x80\x93 \xC3\xA9 \xC2\x81", Utf8FromWindows1252("\x96 \xE9 \x81"));
}

TEST(DeployManifest, LicenceTitle)
{
    std::ifstream in(LICENCE_RTF, std::ios::binary);
    const std::string licence((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ("Vantor Modem Software \x96 End-User License Agreement", RtfFirstParagraph(licence));
    EXPECT_EQ("Title {x} \xE9!", RtfFirstParagraph("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\generator Foo;}\\pard\\par "
                                                  "\\b Title \\{x\\}\\b0  \\u233?!\\par more}"));
    EXPECT_EQ("", RtfFirstParagraph("{\\rtf1{\\colortbl;\\red0;}\\par}"));
}
