// Writes the bundle's Turtle into a folder: generate_turtle FOLDER BINARY_NAME.
#include <cstdio>
#include <fstream>
#include <string>

#include "turtle.h"

namespace {

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file)
        std::fprintf(stderr, "generate_turtle: cannot write %s\n", path.c_str());
    return bool(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: generate_turtle FOLDER BINARY_NAME\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool written = writeFile(folder + "/manifest.ttl", lv2::manifestTurtle(host::moduleCatalogue(), argv[2]));
    for (const host::ModuleDeclaration& module : host::moduleCatalogue())
        written = writeFile(folder + "/" + lv2::pluginTurtleFileName(module.identifier), lv2::pluginTurtle(module)) &&
                  written;
    return written ? 0 : 1;
}
