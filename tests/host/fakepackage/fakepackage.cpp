// A stand-in for Pkg_pla01300 with two of its creation functions, recording the calls.
#include <cstring>

namespace {
int receitaCalls = 0;
char lastBranch[16] = "";
}

extern "C" {
__attribute__((visibility("default"))) void CriaReceita()
{
    ++receitaCalls;
}
__attribute__((visibility("default"))) void IniProc(const char* branch)
{
    std::strncpy(lastBranch, branch ? branch : "(nulo)", sizeof lastBranch - 1);
}
__attribute__((visibility("default"))) int fakeReceitaCalls()
{
    return receitaCalls;
}
__attribute__((visibility("default"))) const char* fakeLastBranch()
{
    return lastBranch;
}
}
