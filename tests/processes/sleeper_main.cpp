// A program that does nothing until it is killed: the stand-in for a node program in the tests,
// copied under whatever file name a test needs. It ignores its arguments, so it also serves as
// the interpreter of shebang scripts. Once it runs it writes one byte to descriptor 3, when open,
// to tell whoever started it that its names are in place.
#include <unistd.h>

int main()
{
    constexpr int kReadyDescriptor = 3;
    const char ready = 1;
    if (::write(kReadyDescriptor, &ready, 1) == 1)
        ::close(kReadyDescriptor);
    for (;;)
        ::pause();
}
