// The child that the process tests start. Its arguments are commands, run in
// order:
//   out TEXT    writes TEXT and a line feed to standard output
//   err TEXT    writes TEXT and a line feed to standard error
//   sleep MS    sleeps MS milliseconds
//   big MB      writes MB megabytes to standard output in 64 KB blocks, and
//               after each block the line "#N" (N: the block's number) to
//               standard error
//   cwd         writes the working folder and a line feed to standard output
//   argv        writes every element of its argument vector as hex bytes,
//               one element a line (an empty element as an empty line)
//   exit N      exits with code N at once
// It ends with code 0 after the last command.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Straight to the handle, so that standard output and standard error reach a
// shared pipe in exactly the order they were written.
void Write(DWORD which, const std::string& text) {
  HANDLE handle = ::GetStdHandle(which);
  size_t done = 0;
  while (done < text.size()) {
    DWORD wrote = 0;
    if (!::WriteFile(handle, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote, nullptr))
      std::exit(90);
    done += wrote;
  }
}

std::string Block(int index) {
  // Lines of 16 bytes that name their block, so a lost or repeated piece
  // shows in a comparison.
  char line[17];
  std::snprintf(line, sizeof(line), "%06d:abcdefghi\n", index % 1000000);
  std::string block;
  block.reserve(65536);
  while (block.size() < 65536) block += line;
  return block;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string command = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "";
    if (command == "out") {
      Write(STD_OUTPUT_HANDLE, std::string(value) + "\n");
      ++i;
    } else if (command == "err") {
      Write(STD_ERROR_HANDLE, std::string(value) + "\n");
      ++i;
    } else if (command == "sleep") {
      ::Sleep(static_cast<DWORD>(std::atoi(value)));
      ++i;
    } else if (command == "big") {
      const int blocks = std::atoi(value) * 16;
      for (int b = 0; b < blocks; ++b) {
        Write(STD_OUTPUT_HANDLE, Block(b));
        Write(STD_ERROR_HANDLE, "#" + std::to_string(b) + "\n");
      }
      ++i;
    } else if (command == "cwd") {
      char folder[MAX_PATH] = "";
      ::GetCurrentDirectoryA(MAX_PATH, folder);
      Write(STD_OUTPUT_HANDLE, std::string(folder) + "\n");
    } else if (command == "argv") {
      std::string lines;
      for (int a = 0; a < argc; ++a) {
        for (const char* c = argv[a]; *c; ++c) {
          char hex[3];
          std::snprintf(hex, sizeof(hex), "%02x", static_cast<unsigned char>(*c));
          lines += hex;
        }
        lines += "\n";
      }
      Write(STD_OUTPUT_HANDLE, lines);
      return 0;  // the rest of the vector is data, not commands
    } else if (command == "exit") {
      return std::atoi(value);
    } else {
      return 99;
    }
  }
  return 0;
}
