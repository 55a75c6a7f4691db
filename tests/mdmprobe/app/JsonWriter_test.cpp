// The JSON writer of the result report: escaping of the modem's bytes,
// layout and nesting, numbers at their limits, and misuse that must not
// pass for a complete document.
#include "JsonWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

TEST(JsonWriter, ControlAnd8BitBytesBecomeUnicodeEscapes)
{
    EXPECT_EQ("\"\\u000d\\u000aOK\\u000d\\u000a\"", JsonQuote("\r\nOK\r\n"));
    EXPECT_EQ("\"a\\u0000b\"", JsonQuote(std::string("a\0b", 3)));
    EXPECT_EQ("\"\\u0009\\u001f \\u007f\"", JsonQuote("\t\x1f \x7f"));
    // 8-bit bytes keep their number as the code point: no UTF-8 is made up.
    EXPECT_EQ("\"Gr\\u00fc\\u00dfe \\u0080\\u00ff\"", JsonQuote("Gr\xfc\xdf" "e \x80\xff"));
    EXPECT_EQ("\"\"", JsonQuote(""));
    // Every other printable character stays as it is, the slash included.
    EXPECT_EQ("\" !#$%&'()*+,-./09:;<=>?@AZ[]^_`az{|}~\"",
              JsonQuote(" !#$%&'()*+,-./09:;<=>?@AZ[]^_`az{|}~"));
}

TEST(JsonWriter, QuotesAndBackslashesInAnAnswer)
{
    // A modem answer with quotes (+GMM: "VX-56i") and a Windows path.
    EXPECT_EQ("\"\\u000d\\u000a+GMM: \\\"VX-56i\\\"\\u000d\\u000a\"", JsonQuote("\r\n+GMM: \"VX-56i\"\r\n"));
    EXPECT_EQ("\"C:\\\\Program Files\\\\x.json\"", JsonQuote("C:\\Program Files\\x.json"));
    EXPECT_EQ("\"\\\\\\\"\"", JsonQuote("\\\""));
    // Names are escaped like values.
    CJsonWriter json;
    json.BeginObject().Member("a\"b", "c\\d").EndObject();
    ASSERT_TRUE(json.Done());
    EXPECT_EQ("{\n  \"a\\\"b\": \"c\\\\d\"\n}", json.Text());
}

TEST(JsonWriter, NestingIsIndentedAndEmptyContainersStayOnTheirLine)
{
    CJsonWriter json;
    json.BeginObject();
    json.Member("schema", 1);
    json.Name("list").BeginArray();
    json.Number(1).String("two").Bool(false).Null();
    json.BeginObject().EndObject();
    json.BeginArray().EndArray();
    json.EndArray();
    json.Name("inner").BeginObject().Member("ok", true).TextOrNull("none", "").TextOrNull("some", "x");
    json.EndObject();
    json.EndObject();
    ASSERT_TRUE(json.Done());
    EXPECT_EQ("{\n"
              "  \"schema\": 1,\n"
              "  \"list\": [\n"
              "    1,\n"
              "    \"two\",\n"
              "    false,\n"
              "    null,\n"
              "    {},\n"
              "    []\n"
              "  ],\n"
              "  \"inner\": {\n"
              "    \"ok\": true,\n"
              "    \"none\": null,\n"
              "    \"some\": \"x\"\n"
              "  }\n"
              "}",
              json.Text());
}

TEST(JsonWriter, NumbersAtTheirLimits)
{
    CJsonWriter json;
    json.BeginArray();
    json.Number(0).Number(-5).Number(4294967295u).Number(std::numeric_limits<int64_t>::max());
    json.Number(std::numeric_limits<int64_t>::min());
    json.EndArray();
    ASSERT_TRUE(json.Done());
    EXPECT_EQ("[\n  0,\n  -5,\n  4294967295,\n  9223372036854775807,\n  -9223372036854775808\n]",
              json.Text());
}

TEST(JsonWriter, MisuseIsNeverADocument)
{
    struct Case
    {
        const char* what;
        void (*write)(CJsonWriter&);
    };
    const Case cases[] = {
        {"value without a name in an object", [](CJsonWriter& j) { j.BeginObject().Number(1).EndObject(); }},
        {"name in an array", [](CJsonWriter& j) { j.BeginArray().Name("a").Number(1).EndArray(); }},
        {"name at the top", [](CJsonWriter& j) { j.Name("a").Number(1); }},
        {"two names in a row", [](CJsonWriter& j) { j.BeginObject().Name("a").Name("b").Number(1).EndObject(); }},
        {"name without a value", [](CJsonWriter& j) { j.BeginObject().Name("a").EndObject(); }},
        {"end of the wrong kind", [](CJsonWriter& j) { j.BeginObject().EndArray(); }},
        {"end with nothing open", [](CJsonWriter& j) { j.Null().EndObject(); }},
        {"second top-level value", [](CJsonWriter& j) { j.Number(1).Number(2); }},
        {"unfinished", [](CJsonWriter& j) { j.BeginArray().Number(1); }},
        {"nothing", [](CJsonWriter&) {}},
    };
    for (const Case& c : cases) {
        CJsonWriter json;
        c.write(json);
        EXPECT_FALSE(json.Done()) << c.what;
    }
}

TEST(JsonWriter, NestingDepthIsBounded)
{
    CJsonWriter deepest;
    for (size_t i = 0; i < CJsonWriter::kMaxDepth; ++i)
        deepest.BeginArray();
    for (size_t i = 0; i < CJsonWriter::kMaxDepth; ++i)
        deepest.EndArray();
    EXPECT_TRUE(deepest.Done());

    CJsonWriter tooDeep;
    for (size_t i = 0; i <= CJsonWriter::kMaxDepth; ++i)
        tooDeep.BeginArray();
    for (size_t i = 0; i <= CJsonWriter::kMaxDepth; ++i)
        tooDeep.EndArray();
    EXPECT_FALSE(tooDeep.Done());
    EXPECT_EQ(std::string::npos, tooDeep.Text().find(std::string(CJsonWriter::kMaxDepth + 1, '[')))
        << "nothing past the bound is written";
}

}  // namespace
