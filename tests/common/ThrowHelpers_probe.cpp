// The programs' own throwing helpers, linked as the programs link them
// (common/ThrowHelpers.cpp before the runtime): each container error still
// throws, as the kind the programs handle. No test framework here: its
// streams would bring the runtime's own helpers and the link would fail on
// the doubled names instead of testing ours. Exit code: failed checks.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

int failures = 0;

// Runs `action` and reports what it threw: "bad_alloc", "exception: <what>",
// "other" or "nothing".
template <typename Action>
std::string Thrown(Action action)
{
    try {
        action();
    } catch (const std::bad_alloc&) {
        return "bad_alloc";
    } catch (const std::exception& e) {
        return std::string("exception: ") + e.what();
    } catch (...) {
        return "other";
    }
    return "nothing";
}

void Expect(const char* what, const std::string& got, const std::string& expected)
{
    const bool ok = got.compare(0, expected.size(), expected) == 0;
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", what, got.c_str());
    if (!ok)
        ++failures;
}

}  // namespace

int main()
{
    std::string text = "modem";
    std::vector<int> numbers(3);
    // volatile: the compiler must not see the sizes and fold the checks away.
    volatile size_t far = 99;
    // A formatted message keeps its format as the text (nothing is put in).
    Expect("substr past the end", Thrown([&] { (void)text.substr(far); }), "exception: %s: __pos");
    Expect("at past the end", Thrown([&] { (void)text.at(far); }), "exception: basic_string::at");
    Expect("vector at past the end", Thrown([&] { (void)numbers.at(far); }), "exception: vector::_M_range_check");
    Expect("string longer than it can be", Thrown([&] { text.reserve(text.max_size() + far); }), "bad_alloc");
    Expect("vector longer than it can be", Thrown([&] { numbers.reserve(numbers.max_size() + far); }), "bad_alloc");
    Expect("a string from a null pointer", Thrown([&] { std::string bad(static_cast<const char*>(nullptr)); }),
           "exception: basic_string");
    std::printf("%d failed\n", failures);
    return failures;
}
