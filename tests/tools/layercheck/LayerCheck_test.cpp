// The layer check: reading include directives and CMake calls, the order
// file's rules, and whole small trees with the faults the check must find.
#include "LayerCheck.h"
#include "LayerOrder.h"
#include "SourceScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const std::vector<IncludeDirective>& includes)
{
    std::vector<std::string> names;
    for (const IncludeDirective& include : includes)
        names.push_back(std::to_string(include.line) + ":" + include.name);
    return names;
}

LayerOrder Order(const std::string& text)
{
    std::string error;
    LayerOrder order = LayerOrder::Parse(text, &error);
    EXPECT_EQ(error, "");
    return order;
}

// Each finding as "file:line: text".
std::vector<std::string> Check(const SourceTree& tree, const std::string& orderText)
{
    const LayerOrder order = Order(orderText);
    std::vector<std::string> lines;
    for (const LayerFinding& finding : CheckLayers(tree, order))
        lines.push_back(finding.file + ":" + std::to_string(finding.line) + ": " + finding.text);
    return lines;
}

const char kOrder[] = "prog: prog/app prog/mid prog/low common\nother: other/app common\n";

}  // namespace

TEST(SourceScan, QuotedIncludesOutsideCommentsWithTheirLines)
{
    const std::string text = "#include \"A.h\"\n"
                             "  #  include  \"sub/B.h\"  // trailing comment\n"
                             "#include <windows.h>\n"
                             "// #include \"Commented.h\"\n"
                             "/* a block\n"
                             "#include \"InBlock.h\"\n"
                             "*/ #include \"AfterBlock.h\"\n"
                             "const char* s = \"/*\"; \n"
                             "#include \"C.rci\"\n"
                             "#define X \"#include \\\"No.h\\\"\"\n"
                             "#include \"Unclosed.h\n";
    // A directive after the end of a block comment on the same line is one
    // the compiler reads too; "/*" inside a string opens no comment.
    EXPECT_EQ(Names(QuotedIncludes(text)),
              (std::vector<std::string>{"1:A.h", "2:sub/B.h", "7:AfterBlock.h", "9:C.rci"}));
}

TEST(SourceScan, CMakeCallsAcrossLinesWithCommentsQuotesAndGeneratorExpressions)
{
    const std::string text = "# add_library(not_a_call STATIC x.cpp)\n"
                             "ADD_LIBRARY(lib_a STATIC a.cpp \"b c.cpp\") # (comment)\n"
                             "target_link_libraries(lib_a PUBLIC lib_b  # why\n"
                             "    $<$<BOOL:${X}>:lib_c> ${LIBS} ZLIB::ZLIB -lm\n"
                             "    PRIVATE lib_d comctl32)\n"
                             "if(WIN32)\n"
                             "endif()\n";
    const std::vector<CMakeCall> calls = CMakeCalls(text);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].command, "add_library");
    EXPECT_EQ(calls[0].line, 2);
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"lib_a", "STATIC", "a.cpp", "b c.cpp"}));
    EXPECT_EQ(calls[1].command, "target_link_libraries");
    EXPECT_EQ(calls[1].line, 3);
    EXPECT_EQ(LinkedNames(calls[1]), (std::vector<std::string>{"lib_b", "lib_d", "comctl32"}));
    EXPECT_EQ(calls[2].command, "if");
    EXPECT_EQ(calls[2].args, (std::vector<std::string>{"WIN32"}));
    EXPECT_EQ(calls[3].line, 7);
}

TEST(LayerOrder, DownTheLineOnlyAndNeverIntoAnotherProgram)
{
    const LayerOrder order = Order("# comment\n\n" + std::string(kOrder));
    EXPECT_TRUE(order.MayUse("prog/app", "prog/low"));
    EXPECT_TRUE(order.MayUse("prog/mid", "common"));
    EXPECT_TRUE(order.MayUse("prog", "prog/app"));
    EXPECT_TRUE(order.MayUse("prog/mid", "prog/mid"));
    EXPECT_FALSE(order.MayUse("prog/low", "prog/mid"));
    EXPECT_FALSE(order.MayUse("prog/app", "prog"));
    EXPECT_FALSE(order.MayUse("common", "prog/low"));
    EXPECT_FALSE(order.MayUse("prog/app", "other/app"));
    EXPECT_FALSE(order.MayUse("other/app", "prog/low"));

    EXPECT_EQ(order.LayerOf("prog/mid/x/File.h"), "prog/mid");
    EXPECT_EQ(order.LayerOf("prog/middle/File.h"), "prog");  // a name prefix is no parent
    EXPECT_EQ(order.LayerOf("common/File.h"), "common");
    EXPECT_EQ(order.LayerOf("tests/prog/mid/File_test.cpp"), "");

    EXPECT_EQ(order.UnlistedFolder("prog/middle/sub/File.cpp"), "prog/middle");
    EXPECT_EQ(order.UnlistedFolder("prog/CMakeLists.txt"), "");
    EXPECT_EQ(order.UnlistedFolder("prog/mid/File.cpp"), "");
    EXPECT_EQ(order.UnlistedFolder("tools/x/File.cpp"), "");
}

TEST(LayerOrder, FaultsOfTheFileAreReportedWithTheirLine)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        {"prog prog/a\n", "line 1: expected \"program: folder ...\""},
        {"prog:\n", "line 1: prog has no layers"},
        {"prog: a b a\n", "line 1: a is listed twice"},
        {"prog: a\nprog: b\n", "line 2: prog is listed twice"},
        {"p: a b common\nq: b a\n", "line 2: b and a are in the opposite order on the line of p"},
        {"# nothing\n", "no program listed"},
    };
    for (const auto& c : cases) {
        std::string error;
        const LayerOrder order = LayerOrder::Parse(c.text, &error);
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_TRUE(order.Chains().empty()) << c.text;
    }
    std::string error;
    EXPECT_EQ(LayerOrder::Parse("p:a/ b\n", &error).Chains().at(0).folders, (std::vector<std::string>{"p", "a", "b"}));
    EXPECT_EQ(error, "");
}

TEST(LayerCheck, CleanTreePasses)
{
    const SourceTree tree = {
        {"prog/CMakeLists.txt", "add_executable(prog WIN32 app/Main.cpp)\ntarget_link_libraries(prog PRIVATE prog_app)\n"},
        {"prog/app/CMakeLists.txt", "add_library(prog_app STATIC App.cpp)\ntarget_link_libraries(prog_app PUBLIC prog_low)\n"},
        {"prog/app/App.cpp", "#include \"App.h\"\n#include \"Low.h\"\n#include \"Shared.h\"\n#include <windows.h>\n"},
        {"prog/app/App.h", ""},
        {"prog/low/CMakeLists.txt", "add_library(prog_low STATIC Low.cpp)\ntarget_link_libraries(prog_low PUBLIC common gdi32)\n"},
        {"prog/low/Low.h", "#include \"generated_version.h\"\n"},
        {"prog/low/res/strings.rc", "#include \"lang/en.rc\"\n"},
        {"prog/low/res/lang/en.rc", ""},
        {"common/CMakeLists.txt", "add_library(common STATIC Shared.cpp)\n"},
        {"common/Shared.h", ""},
        {"prog/medium/CMakeLists.txt", "add_custom_target(medium ALL)\n"},
        // Tests and tools may use every layer.
        {"tests/prog/low/CMakeLists.txt", "add_executable(low_test Low_test.cpp)\ntarget_link_libraries(low_test prog_app)\n"},
        {"tests/prog/low/Low_test.cpp", "#include \"App.h\"\n"},
        {"tools/gen/Gen.cpp", "#include \"App.h\"\n"},
    };
    EXPECT_EQ(Check(tree, kOrder), std::vector<std::string>{});
}

TEST(LayerCheck, IncludesAndLinksThatRunUpOrAcrossAreFound)
{
    const SourceTree tree = {
        {"prog/app/App.h", ""},
        {"prog/mid/Mid.h", ""},
        {"prog/low/CMakeLists.txt", "add_library(prog_low STATIC Low.cpp)\n"
                                    "target_link_libraries(prog_low PUBLIC\n  common prog_mid)\n"},
        {"prog/low/Low.cpp", "#include \"Low.h\"\n\n#include \"Mid.h\"\n#include \"../app/App.h\"\n"
                             "#include \"Other.h\"\n#include \"Tool.h\"\n"},
        {"prog/low/Low.h", ""},
        {"prog/mid/CMakeLists.txt", "add_library(prog_mid STATIC Mid.cpp)\n"},
        {"common/CMakeLists.txt", "add_library(common STATIC Shared.cpp)\ntarget_link_libraries(common PUBLIC helper)\n"},
        {"other/app/Other.h", ""},
        {"tools/helper/Tool.h", ""},
        {"tools/helper/CMakeLists.txt", "add_library(helper STATIC Tool.cpp)\n"},
    };
    EXPECT_EQ(Check(tree, kOrder),
              (std::vector<std::string>{
                  "common/CMakeLists.txt:2: links helper of tools/helper, which lies outside the programs",
                  "prog/low/CMakeLists.txt:2: links prog_mid of prog/mid, a layer above prog/low",
                  "prog/low/Low.cpp:3: includes Mid.h from prog/mid, a layer above prog/low",
                  "prog/low/Low.cpp:4: includes ../app/App.h from prog/app, a layer above prog/low",
                  "prog/low/Low.cpp:5: includes Other.h from other/app, which prog/low may not use",
                  "prog/low/Low.cpp:6: includes Tool.h from tools/helper, which lies outside the programs",
              }));
}

TEST(LayerCheck, SameNameInTwoProgramsResolvesToTheOneTheLayerMayUse)
{
    // Each program has its own resource.h; either program's code finds its
    // own. A layer that may use neither is shown its own program's copy.
    const SourceTree tree = {
        {"prog/low/resource.h", ""},
        {"other/app/resource.h", ""},
        {"prog/app/App.cpp", "#include \"resource.h\"\n"},
        {"other/app/Other.cpp", "#include \"resource.h\"\n"},
        {"common/Shared.cpp", "#include \"resource.h\"\n"},
    };
    const std::vector<std::string> findings = Check(tree, kOrder);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].rfind("common/Shared.cpp:1: includes resource.h from ", 0), 0u) << findings[0];
}

TEST(LayerCheck, UnlistedFoldersAndLibrariesNotNamedAfterTheirFolder)
{
    const SourceTree tree = {
        {"prog/start/Main.cpp", "#include \"App.h\"\n"},
        {"prog/start/Main.h", ""},
        {"prog/app/App.h", ""},
        {"prog/app/CMakeLists.txt", "add_library(prog_app STATIC A.cpp)\nadd_library(prog_app STATIC B.cpp)\n"
                                    "add_library(prog_app_text STATIC C.cpp)\n"},
        {"prog/mid/sub/CMakeLists.txt", "add_library(prog_mid STATIC X.cpp)\n"},
        {"prog/CMakeLists.txt", "add_library(prog_all STATIC X.cpp)\n"},
    };
    EXPECT_EQ(Check(tree, kOrder),
              (std::vector<std::string>{
                  "prog/CMakeLists.txt:1: library prog_all in the program's folder: libraries belong to its layers",
                  "prog/app/CMakeLists.txt:2: library prog_app defined twice",
                  "prog/app/CMakeLists.txt:3: library prog_app_text: the library of prog/app is prog_app",
                  "prog/mid/sub/CMakeLists.txt:1: library prog_mid in prog/mid/sub: a layer's library is defined in prog/mid",
                  "prog/start:0: holds code but is in no program's layer order",
              }));
}

TEST(LayerCheck, CheckedFilesAreSourcesResourcesAndCMakeLists)
{
    for (const char* path : {"a/B.cpp", "a/B.c", "a/B.h", "a/b.rc", "a/b.rci", "a/CMakeLists.txt", "B.hpp"})
        EXPECT_TRUE(IsCheckedFile(path)) << path;
    for (const char* path : {"a/README.md", "a/b.cmake", "a/b.txt", "a/b.bmp", "a/b.hh", "a/CMakeLists.txt.in"})
        EXPECT_FALSE(IsCheckedFile(path)) << path;
}
