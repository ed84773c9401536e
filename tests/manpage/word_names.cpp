// Prints the name of every built-in word, one per line, taken from the dictionary that
// register_primitives builds: manpage_test.py checks them against the manual page, so the
// page cannot drift from the program. Usage: word_names
#include <iostream>
#include <list>
#include <string>

#include "dict/dictionary.h"

int main()
{
    dictionary = new std::list<WORT>;
    register_primitives();
    for (const std::string& name : word_names()) std::cout << name << '\n';
    delete dictionary;
    dictionary = nullptr;
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}
