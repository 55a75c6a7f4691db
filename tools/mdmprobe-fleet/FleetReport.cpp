#include "FleetReport.h"

#include <nlohmann/json.hpp>

#include <cstdio>

using nlohmann::json;

const std::array<const char*, kFleetTestCount> kFleetTestNames = {"tapi", "ram", "crc", "dial", "diag"};

namespace {

// A member's text; empty when it is missing, null or no text.
std::string TextOf(const json& object, const char* name)
{
    const auto found = object.find(name);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// Throws with `what` when `condition` fails: one way out for every check
// of the report's form.
void Require(bool condition, const std::string& what)
{
    if (!condition)
        throw std::runtime_error(what);
}

const json& Member(const json& object, const char* name, json::value_t type)
{
    const auto found = object.find(name);
    Require(found != object.end(), std::string("no member ") + name);
    Require(found->type() == type, std::string("member ") + name + " has the wrong type");
    return *found;
}

void ReadTests(const json& tests, FleetRun& run)
{
    Require(tests.size() == kFleetTestCount, "tests: not 5 entries");
    for (int i = 0; i < kFleetTestCount; ++i) {
        const json& test = tests[static_cast<size_t>(i)];
        Require(test.is_object() && TextOf(test, "test") == kFleetTestNames[static_cast<size_t>(i)],
                std::string("tests: entry ") + std::to_string(i) + " is not " + kFleetTestNames[static_cast<size_t>(i)]);
        run.results[static_cast<size_t>(i)] = TextOf(test, "result");
        Require(!run.results[static_cast<size_t>(i)].empty(), "tests: a result is missing");
    }
    const json& dial = tests[3];
    const auto call = dial.find("call");
    if (call != dial.end() && call->is_object()) {
        run.callResult = TextOf(*call, "result");
        const auto speed = call->find("speed");
        if (speed != call->end() && speed->is_number_integer())
            run.callSpeed = speed->get<int64_t>();
    }
}

}  // namespace

const char* RefusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::Empty:
        return "empty file";
    case Refusal::NotJson:
        return "not JSON";
    case Refusal::CutShort:
        return "cut short";
    case Refusal::WrongSchema:
        return "wrong schema";
    case Refusal::Unreadable:
        return "unreadable";
    default:
        return "";
    }
}

std::optional<int64_t> IsoTimeToUtc(const std::string& text)
{
    int year, month, day, hour, minute, second, offHour, offMinute;
    char sign, end;
    if (text.size() != 25 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &sign, &offHour, &offMinute, &end) != 9 ||
        (sign != '+' && sign != '-') || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    // Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = int64_t{era} * 146097 + dayOfEra - 719468;
    const int offset = (offHour * 60 + offMinute) * (sign == '-' ? -1 : 1);
    return days * 86400 + hour * 3600 + minute * 60 + second - int64_t{offset} * 60;
}

ReadOutcome ReadReport(const std::string& file, const std::string& text)
{
    ReadOutcome outcome;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        outcome.refusal = Refusal::Empty;
        return outcome;
    }
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        // The parser ran past the last byte (it counts the end as one more
        // byte): the document began well and stopped (a copy cut short, a
        // disk that filled up). A wrong byte at the end is no cut.
        outcome.refusal = error.byte > text.size() ? Refusal::CutShort : Refusal::NotJson;
        outcome.detail = error.what();
        return outcome;
    }
    try {
        Require(document.is_object(), "not an object");
        const json& schema = Member(document, "schema", json::value_t::number_unsigned);
        Require(schema == 1 || schema == 2, "schema " + schema.dump() + " is not 1 or 2");
        FleetRun& run = outcome.run;
        run.file = file;
        run.computer = TextOf(document, "computer");
        run.started = TextOf(document, "started");
        run.ended = TextOf(document, "ended");
        const std::optional<int64_t> ended = IsoTimeToUtc(run.ended);
        Require(ended.has_value(), "ended is no time");
        run.endedUtc = *ended;
        const json& status = Member(document, "status", json::value_t::object);
        const auto code = status.find("code");
        Require(code != status.end() && code->is_number_integer(), "status.code is no number");
        run.status = code->get<int32_t>();
        run.meaning = TextOf(status, "meaning");
        const json& modem = Member(document, "modem", json::value_t::object);
        run.port = TextOf(modem, "port");
        run.model = TextOf(modem, "name");
        run.firmware = TextOf(modem, "firmware");
        ReadTests(Member(document, "tests", json::value_t::array), run);
    } catch (const std::exception& error) {
        outcome = ReadOutcome();
        outcome.refusal = Refusal::WrongSchema;
        outcome.detail = error.what();
    }
    return outcome;
}
