// The shared reading helpers of the plan's parts; see PlanBuild.h.
#include "PlanBuild.h"

std::vector<const InfLine*> PlanBuild::KeyLines(const std::string& section, const std::string& key) const
{
    std::vector<const InfLine*> lines;
    for (const InfLine& line : Lines(section))
        if (line.hasKey && SameName(line.key, key)) lines.push_back(&line);
    return lines;
}

const std::vector<InfLine>& PlanBuild::Lines(const std::string& section) const
{
    static const std::vector<InfLine> none;
    const InfSection* found = section.empty() ? nullptr : script.Find(section);
    return found ? found->lines : none;
}

std::vector<std::string> PlanBuild::Fields(const InfLine& line) const
{
    std::vector<std::string> fields;
    for (const std::string& field : line.fields) fields.push_back(dirs.Substitute(field));
    return fields;
}

void PlanBuild::ForEachNamed(const std::string& section, const std::string& key, bool allLines,
                             const std::function<void(const InfSection&, const InfLine&)>& each,
                             const std::function<void(const std::string&, const InfLine&)>& missing) const
{
    std::vector<const InfLine*> lines = KeyLines(section, key);
    if (!allLines && lines.size() > 1) lines.resize(1);
    for (const InfLine* line : lines)
        for (const std::string& name : line->fields) {
            const InfSection* named = name.empty() ? nullptr : script.Find(name);
            if (named)
                each(*named, *line);
            else if (missing)
                missing(name, *line);
        }
}
