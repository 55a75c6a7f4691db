#include "WingetManifests.h"

#include "DeployExitCodes.h"
#include "InfDocument.h"
#include "Yaml.h"

#include <cctype>
#include <cstring>
#include <sstream>

namespace {

const char kManifestVersion[] = "1.10.0";
const char kLocale[] = "en-US";
const char kSchemaBase[] = "https://aka.ms/winget-manifest.";

// "Key: scalar" at `indent`, the text converted from code page 1252.
void Line(std::ostream& out, const std::string& indent, const std::string& key, const std::string& text)
{
    out << indent << key << ": " << YamlScalar(Utf8FromWindows1252(text)) << "\n";
}

void Header(std::ostream& out, const std::string& type, const WingetPackage& package, const DeployEntry& entry)
{
    out << "# Written by setup-lint --deploy from the medium's setup.inf and setup.exe.\n"
        << "# yaml-language-server: $schema=" << kSchemaBase << type << "." << kManifestVersion << ".schema.json\n\n";
    Line(out, "", "PackageIdentifier", package.id);
    Line(out, "", "PackageVersion", entry.displayVersion);
}

void Footer(std::ostream& out, const std::string& type)
{
    Line(out, "", "ManifestType", type);
    Line(out, "", "ManifestVersion", kManifestVersion);
}

bool IsHttp(const std::string& url)
{
    const std::string lower = [&] {
        std::string text;
        for (const char c : url.substr(0, 8)) text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }();
    const size_t scheme = lower.compare(0, 7, "http://") == 0 ? 7 : lower.compare(0, 8, "https://") == 0 ? 8 : 0;
    return scheme > 0 && url.size() > scheme && url.size() <= 2048;
}

// The entry the package is known by: the whole installation's among those
// the default installation writes, else the first of them.
const DeployEntry* MainEntry(const Deployment& d)
{
    const DeployEntry* main = nullptr;
    for (const std::string& key : d.defaultEntries) {
        const DeployEntry* entry = d.Find(key);
        if (entry && (!main || (entry->wholeInstallation && !main->wholeInstallation))) main = entry;
    }
    return main;
}

std::string VersionFile(const WingetPackage& package, const DeployEntry& entry)
{
    std::ostringstream out;
    Header(out, "version", package, entry);
    Line(out, "", "DefaultLocale", kLocale);
    Footer(out, "version");
    return out.str();
}

std::string InstallerFile(const Deployment& d, const WingetPackage& package, const DeployEntry& main)
{
    std::ostringstream out;
    Header(out, "installer", package, main);
    out << "Installers:\n";
    Line(out, "- ", "Architecture", d.architecture);
    Line(out, "  ", "InstallerUrl", package.url);
    Line(out, "  ", "InstallerSha256", package.sha256);
    out << "  Platform:\n  - Windows.Desktop\n";
    // The download is the zip of "make dist"; setup.exe inside it runs.
    Line(out, "  ", "InstallerType", "zip");
    Line(out, "  ", "NestedInstallerType", "exe");
    out << "  NestedInstallerFiles:\n";
    Line(out, "  - ", "RelativeFilePath", "setup.exe");
    Line(out, "  ", "Scope", "machine");
    out << "  InstallModes:\n  - interactive\n  - silent\n  - silentWithProgress\n";
    out << "  InstallerSwitches:\n";
    // Both run the wizard by itself; the switches that follow keep an
    // unattended run from waiting on a question or starting the program.
    Line(out, "    ", "Silent", "/quiet" + d.installSwitches);
    Line(out, "    ", "SilentWithProgress", "/silent" + d.installSwitches);
    Line(out, "    ", "InstallLocation", "/target:\"<INSTALLPATH>\"");
    Line(out, "    ", "Log", "/log:\"<LOGPATH>\"");
    out << "  ExpectedReturnCodes:\n";
    for (const DeployExitCode& code : DeployExitCodes()) {
        if (!code.winget) continue;
        out << "  - InstallerReturnCode: " << code.code << "\n";
        Line(out, "    ", "ReturnResponse", code.winget);
    }
    Line(out, "  ", "UpgradeBehavior", "install");
    Line(out, "  ", "ElevationRequirement", "elevationRequired");
    Line(out, "  ", "ProductCode", main.key);
    out << "  AppsAndFeaturesEntries:\n";
    for (const std::string& key : d.defaultEntries) {
        const DeployEntry& entry = *d.Find(key);
        Line(out, "  - ", "DisplayName", entry.displayName);
        if (!entry.publisher.empty()) Line(out, "    ", "Publisher", entry.publisher);
        Line(out, "    ", "DisplayVersion", entry.displayVersion);
        Line(out, "    ", "ProductCode", entry.key);
        Line(out, "    ", "InstallerType", "exe");
    }
    Footer(out, "installer");
    return out.str();
}

std::string LocaleFile(const Deployment& d, const WingetPackage& package, const DeployEntry& main)
{
    std::ostringstream out;
    Header(out, "defaultLocale", package, main);
    Line(out, "", "PackageLocale", kLocale);
    Line(out, "", "Publisher", main.publisher);
    if (IsHttp(main.helpLink)) Line(out, "", "PublisherSupportUrl", main.helpLink);
    Line(out, "", "PackageName", main.displayName);
    Line(out, "", "License", d.licence);
    Line(out, "", "ShortDescription", d.description.size() >= 3 ? d.description : main.displayName);
    Footer(out, "defaultLocale");
    return out.str();
}

}  // namespace

std::string WingetPackageProblem(const WingetPackage& package)
{
    // Two to eight parts of 1 to 32 characters, none of them blanks, path
    // or wildcard characters.
    size_t parts = 0, length = 0;
    for (size_t i = 0; i <= package.id.size(); ++i) {
        const char c = i < package.id.size() ? package.id[i] : '.';
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '.') {
            if (length == 0 || length > 32)
                return "--id " + package.id + ": each part of Publisher.Name has 1 to 32 characters";
            ++parts;
            length = 0;
        } else if (u <= 0x20 || std::strchr("\\/:*?\"<>|", c)) {
            return "--id " + package.id + ": no blanks or \\ / : * ? \" < > | in the identifier";
        } else {
            ++length;
        }
    }
    if (parts < 2 || parts > 8) return "--id " + package.id + ": two to eight parts, as Publisher.Name";
    if (!IsHttp(package.url)) return "--url " + package.url + ": the download's http:// or https:// address";
    bool hex = package.sha256.size() == 64;
    for (const char c : package.sha256) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    if (!hex) return "--sha256 " + package.sha256 + ": the download's SHA-256, 64 hexadecimal digits";
    return "";
}

std::vector<WingetFile> WingetManifests(const Deployment& d, const WingetPackage& package, std::string* error)
{
    const DeployEntry* main = MainEntry(d);
    if (!d.Complete())
        *error = "a tool cannot be told everything about this medium (see setup-lint --deploy)";
    else if (!main)
        *error = "the default installation writes no uninstall entry: the package manager cannot detect it";
    else if (main->publisher.size() < 2)
        *error = "the entry " + main->key + " names no publisher (setup.exe's string 1345)";
    else if (d.licence.size() < 3)
        *error = "setup.exe carries no English licence text whose first line could name the licence";
    else
        error->clear();
    if (!error->empty()) return {};
    return {{package.id + ".yaml", VersionFile(package, *main)},
            {package.id + ".installer.yaml", InstallerFile(d, package, *main)},
            {package.id + ".locale." + kLocale + ".yaml", LocaleFile(d, package, *main)}};
}
