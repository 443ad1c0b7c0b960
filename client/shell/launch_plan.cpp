#include "client/shell/launch_plan.h"

namespace lexiflip::client {

LaunchPlan processparams(const std::vector<std::string>& parameters)
{
    LaunchPlan plan;
    if (parameters.empty()) {
        plan.role = LaunchPlan::Role::Solo;
        plan.playerName = "You";
        plan.hostAddress = "127.0.0.1";
        plan.loadingLine = "Loading Solo Game..Please wait.";
        return plan;
    }
    plan.loadingLine = "Loading Multi-player Game.. Please Wait.";
    plan.playerName = parameters[0];
    if (parameters.size() >= 2)
        plan.hostAddress = parameters[1];
    if (parameters.size() < 3) {
        plan.role = LaunchPlan::Role::Wait;
        return plan;
    }
    plan.role = parameters[2] == "true" ? LaunchPlan::Role::Host : LaunchPlan::Role::Join;
    return plan;
}

} // namespace lexiflip::client
