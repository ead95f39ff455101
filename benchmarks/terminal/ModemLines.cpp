// A library preloaded into the serial terminal the tool is compared with: it answers the
// modem-line requests (TIOCMGET, TIOCMSET, TIOCMBIS, TIOCMBIC) that a pseudo-terminal refuses,
// as a USB serial adapter answers them, so that the terminal opens the pseudo-terminal the
// records come on. Every other request goes to the system unchanged.

#include <cstdarg>
#include <dlfcn.h>
#include <sys/ioctl.h>

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list rest;
    va_start(rest, request);
    void* argument = va_arg(rest, void*);
    va_end(rest);
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto system = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    const int result = system(fd, request, argument);
    const bool modemLines =
        request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
    if (result == 0 || !modemLines)
        return result;
    if (request == TIOCMGET && argument)
        *static_cast<int*>(argument) = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
    return 0;
}
