// ERROR: the one exception type. Every failure the user can cause is thrown as an ERROR
// with its fixed message and caught only by the read-eval loop, which reports it and ends
// the run. Nothing else is caught anywhere. Tests: every transcript that ends in "ERROR: ".
#pragma once
#include <string>

class ERROR {
public:
    std::string message;  // the user's text, printed after "ERROR: " exactly as it stands
};
