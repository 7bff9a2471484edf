#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--version") == 0) {
      std::puts("zelk 2.0.0");
      return 0;
    }
  std::fputs("使い方: zelk [--home DIR] COMMAND ...\n", stderr);
  return 2;
}
