// Prints the name of every built-in word, one per line in registration order, taken from
// the dictionary that register_primitives builds: manpage_test.py checks them against the
// manual page, so the page cannot drift from the program. Usage: word_names
#include <iostream>
#include <iterator>
#include <list>

#include "dict/dictionary.h"

int main()
{
    dictionary = new std::list<WORT>;
    register_primitives();
    for (auto word = dictionary->crbegin(); word != dictionary->crend(); ++word)
        std::cout << word->name << '\n';
    delete dictionary;
    dictionary = nullptr;
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}
