#include "bench/soak/day.h"

#include <exception>
#include <iterator>

#include "bench/soak/steps.h"

namespace soak {
namespace {

struct Step {
    const char* name;
    void (*run)(Desk& desk, int cycle);
};

constexpr Step kDay[] = {
    {"cadsim starts", [](Desk& desk, int cycle) { desk.StartCad(cycle % 2 == 1); }},
    {"Register", [](Desk& desk, int) { RegisterFromTheMenu(desk); }},
    {"LIST", [](Desk& desk, int cycle) { SwitchDrawing(desk, cycle % 3); }},
    {"the export", [](Desk& desk, int) { ExportCleanedCopy(desk); }},
    {"taps while cadsim is busy", [](Desk& desk, int) { TapsWhileBusy(desk); }},
    {"cadsim refusing calls", [](Desk& desk, int) { WhileRefusing(desk); }},
    {"cadsim hanging", [](Desk& desk, int) { WhileHanging(desk); }},
    {"cadsim goes", [](Desk& desk, int cycle) { CadGoes(desk, cycle % 3); }},
};

}  // namespace

void RunCycle(Desk& desk, int cycle, const DayPlan& plan) {
    const std::size_t last = std::size(kDay) - 1;
    for (std::size_t index = 0; index <= last; ++index) {
        const Step& step = kDay[index];
        if (index != 0 && index != last && (plan.leftOut & (1u << index)) != 0) {
            continue;
        }
        try {
            step.run(desk, cycle);
        } catch (const std::exception& error) {
            throw SoakFailure("cycle " + std::to_string(cycle) + ", " + step.name + ": " +
                              error.what() + "; cadsim's record ends:" + desk.RecordTail(12));
        }
        if (plan.afterStep) {
            plan.afterStep(step.name);
        }
    }
}

}  // namespace soak
