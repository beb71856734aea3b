// Entry point of 恒岳驾校管理系统. The application start-up is wired in as
// the user-interface subsystem lands; until then this only reports itself.
#include <cstdio>

int main(int argc, char** argv)
{
    std::printf("恒岳驾校管理系统\n");
    return 0;
}
