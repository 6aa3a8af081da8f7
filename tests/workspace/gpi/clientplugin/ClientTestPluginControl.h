#pragma once
// The client test plug-in's window for the tests: besides the GPI entries it
// exports CvClientTestRunScenario, through which a test (looking it up in the
// loaded module) runs one of the plug-in's scenarios. The scenarios use the GPI
// client classes inside the plug-in, against the host that loaded it.
//
// Test and plug-in are built by the same compiler with the same flags, so the
// run record crosses the module boundary as plain C++.

#include <cstdint>
#include <string>
#include <vector>

struct CvClientTestRun {
    // In: the handles and texts the scenario works on, and a shape record
    // for the scenarios that add one.
    std::vector<std::uint32_t> handles;
    std::vector<std::string> texts;
    std::vector<unsigned char> record;
    // Out: what the scenario read.
    std::vector<std::uint32_t> values;
    std::vector<double> numbers;
    std::vector<std::string> results;
    // Out: the code of the CvException that ended the scenario, 0 when none.
    int error = 0;
    // Out: every operation the client classes sent to the host, in order.
    std::vector<int> ops;
};

// Runs the named scenario; false for a name the plug-in does not know.
using CvClientTestRunFn = bool (*)(const char* scenario, CvClientTestRun* run);
#define CV_CLIENT_TEST_ENTRY "CvClientTestRunScenario"
