// The process tests' child. Its arguments are commands, run in order: out TEXT,
// err TEXT, sleep MS, exit N, cwd, argv (prints its argument vector, one element
// a line, and exits), big MB (MB megabytes to stdout in 64 KB blocks of one
// letter, each block N followed by "#N" on stderr). Then exits with 0.
#include <windows.h>

#include <cstdlib>
#include <string>

// Straight to the handle, so that both streams reach a shared pipe in order.
static void Write(DWORD which, const std::string& text) {
  DWORD wrote = 0;
  for (size_t done = 0; done < text.size(); done += wrote)
    if (!::WriteFile(::GetStdHandle(which), text.data() + done, static_cast<DWORD>(text.size() - done),
                     &wrote, nullptr))
      std::exit(90);
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string command = argv[i];
    std::string text;
    if (command == "argv") {
      for (int a = 0; a < argc; ++a) text += std::string(argv[a]) + "\n";
      Write(STD_OUTPUT_HANDLE, text);
      return 0;  // the rest of the vector is data
    }
    if (command == "cwd") {
      char folder[MAX_PATH] = "";
      ::GetCurrentDirectoryA(MAX_PATH, folder);
      Write(STD_OUTPUT_HANDLE, std::string(folder) + "\n");
      continue;
    }
    const std::string value = i + 1 < argc ? argv[++i] : "";
    const int n = std::atoi(value.c_str());
    if (command == "out" || command == "err") {
      Write(command == "out" ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, value + "\n");
    } else if (command == "sleep") {
      ::Sleep(static_cast<DWORD>(n));
    } else if (command == "exit") {
      return n;
    } else if (command == "big") {
      for (int b = 0; b < n * 16; ++b) {
        Write(STD_OUTPUT_HANDLE, std::string(65536, static_cast<char>('a' + b % 26)));
        Write(STD_ERROR_HANDLE, "#" + std::to_string(b) + "\n");
      }
    } else {
      return 99;  // an unknown command
    }
  }
  return 0;
}
