// The programs' terminate handler, linked into each program itself (not
// through the common library, so that it is there before the C++ runtime
// looks for its own). The runtime calls __gnu_cxx::__verbose_terminate_handler
// when an exception leaves a thread or std::terminate is called; the
// runtime's version writes the demangled name of the exception's type to
// standard error, which these GUI programs do not have, and brings in the
// name demangler (45 KB of each program). This one ends the process the same
// way (abort), without the message.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
