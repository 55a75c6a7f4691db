#include "DeployText.h"

#include "DeployExitCodes.h"

#include <sstream>

namespace {

const size_t kLabelWidth = 26;

// "  label   text": the label padded to one column.
void Row(std::ostream& out, const std::string& indent, const std::string& label, const std::string& text)
{
    const size_t width = kLabelWidth > indent.size() + label.size() ? kLabelWidth - indent.size() - label.size() : 1;
    out << indent << label << std::string(width, ' ') << text << "\n";
}

std::string Joined(const std::vector<std::string>& texts, const std::string& separator)
{
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : separator) + text;
    return joined;
}

std::string WhoseEntry(const DeployEntry& entry)
{
    std::vector<std::string> owners;
    for (const std::string& product : entry.products) owners.push_back("the product " + product);
    if (entry.wholeInstallation) owners.push_back("the whole installation");
    return Joined(owners, " and ");
}

// How a run ends: its exit code, and when it asks for a restart.
std::string RunEnd(const DeployRun& run)
{
    if (!run.restart.empty()) return std::to_string(run.exitCode) + ": " + Joined(run.restart, "; ");
    std::string text = std::to_string(run.exitCode);
    if (!run.mayRestart.empty()) text += ", or 3010 when the machine has " + Joined(run.mayRestart, ", or ");
    return text;
}

void WriteEntry(std::ostream& out, const DeployEntry& entry)
{
    out << "\nUninstall entry " << entry.key << ": " << WhoseEntry(entry) << "\n";
    for (const DeployView& view : entry.views) {
        out << "  On " << view.windows << " Windows, in the " << view.view << " registry view\n";
        Row(out, "    ", "key", view.registryKey);
        Row(out, "    ", "InstallLocation", view.installLocation);
        Row(out, "    ", "QuietUninstallString", view.quietUninstallString);
    }
    Row(out, "  ", "DisplayName", entry.displayName);
    Row(out, "  ", "DisplayVersion", entry.displayVersion.empty() ? "none" : entry.displayVersion);
    if (!entry.versionFrom.empty()) Row(out, "  ", "  from", entry.versionFrom);
    Row(out, "  ", "Publisher", entry.publisher.empty() ? "none" : entry.publisher);
    Row(out, "  ", "install silently", entry.installCommand);
    Row(out, "  ", "  exit code", RunEnd(entry.install));
    Row(out, "  ", "  in a folder, logged", entry.installCommandTargetLog);
    Row(out, "  ", "", "(InstallLocation is then <folder>, and the removal starts \"<folder>\\setup.exe\")");
    Row(out, "  ", "remove silently", "the QuietUninstallString above");
    Row(out, "  ", "  exit code", RunEnd(entry.remove));
    out << "  Detection rules (the key in its view above)\n";
    Row(out, "    ", "installed", "the key exists");
    if (!entry.displayVersion.empty()) {
        Row(out, "    ", "this version", "the key exists and DisplayVersion equals " + entry.displayVersion);
        Row(out, "    ", "this or newer", "the key exists and DisplayVersion is at least " + entry.displayVersion +
                                              " (compared as version numbers, part by part)");
    }
    for (const std::string& note : entry.notes) out << "  note: " << note << "\n";
}

void WriteSwitches(std::ostream& out, const Deployment& d)
{
    out << "\nSwitches of the commands\n";
    Row(out, "  ", "/quiet", "unattended: every page skips itself or presses Next and Finish; /quiet:KEY selects "
                             "the product KEY");
    for (const DeploySwitch& option : d.switches) Row(out, "  ", option.text, option.why);
    Row(out, "  ", "/target:\"<folder>\"", "the installation folder (directory id 32768) instead of the default");
    Row(out, "  ", "/log:\"<file>\"", "an installation log for people");
    out << "  A restart is left to the tool: an unattended run that needs one ends with 3010 (/reboot:1, the "
           "default).\n";
}

void WriteExitCodes(std::ostream& out)
{
    out << "\nExit codes of setup.exe (every command above)\n";
    for (const DeployExitCode& code : DeployExitCodes()) {
        std::string number = std::to_string(code.code);
        number.resize(6, ' ');
        std::string outcome = code.outcome;
        outcome.resize(25, ' ');
        out << "  " << number << outcome << code.meaning << "\n";
    }
}

}  // namespace

std::string DeploymentAsText(const Deployment& d)
{
    std::ostringstream out;
    out << "Deployment of " << d.script << ": "
        << (d.architecture.empty() ? std::string("a setup.exe of unknown architecture")
                                   : "the " + d.architecture + " setup.exe")
        << ", planned for Windows " << d.windows << "\n";
    for (const DeployEntry& entry : d.entries) WriteEntry(out, entry);
    if (!d.defaultEntries.empty()) {
        out << "\nThe whole medium as one package\n";
        Row(out, "  ", "install silently", d.defaultInstallCommand);
        Row(out, "  ", "detected by", Joined(d.defaultEntries, ", "));
    }
    if (!d.entries.empty()) {
        WriteSwitches(out, d);
        WriteExitCodes(out);
    }
    out << "\nWhat a tool cannot detect";
    if (d.undetectable.empty()) out << ": nothing";
    out << "\n";
    for (const std::string& text : d.undetectable) out << "  - " << text << "\n";
    return out.str();
}
