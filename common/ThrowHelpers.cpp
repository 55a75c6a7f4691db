// The C++ runtime's helpers that the standard containers call to throw,
// linked into each program itself (like the terminate handler) so the
// runtime's own are never pulled in. The runtime's versions build
// std::logic_error and its kin, whose message is a reference-counted string
// of the library's old ABI: that brings a second complete std::string
// (about 50 KB of each program) for errors these programs never report.
//
// What is thrown instead:
// - a request for more than a container can hold, like a failed allocation:
//   std::bad_alloc, which the programs' callers already handle as "out of
//   memory";
// - a position or argument out of range (a programming error): LogicFault,
//   a std::exception that carries the runtime's message as its what().
// Every catch (...) sees them as before; nothing in the programs catches the
// runtime's logic_error family by type.
#include <exception>
#include <new>

namespace {

class LogicFault : public std::exception {
public:
    explicit LogicFault(const char* what) noexcept : what_(what ? what : "logic fault") {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

}  // namespace

namespace std {

void __throw_bad_alloc()
{
    throw std::bad_alloc();
}

void __throw_bad_array_new_length()
{
    throw std::bad_array_new_length();
}

void __throw_length_error(const char*)
{
    throw std::bad_alloc();
}

void __throw_logic_error(const char* what)
{
    throw LogicFault(what);
}

void __throw_out_of_range(const char* what)
{
    throw LogicFault(what);
}

// The format's arguments (positions and sizes) are not put in: the message
// is the format as it stands.
void __throw_out_of_range_fmt(const char* format, ...)
{
    throw LogicFault(format);
}

void __throw_invalid_argument(const char* what)
{
    throw LogicFault(what);
}

}  // namespace std
