#include <QCoreApplication>

#include "support/app_environment.h"

namespace {

const auto* const kRegistered = lexiflip::testing::registerAppEnvironment<QCoreApplication>("lexiflip_net_tests");

} // namespace
