#include <cstdio>

int main()
{
    std::fputs("trenov5x-devsim: not available yet\n", stderr);
    return 2;
}
