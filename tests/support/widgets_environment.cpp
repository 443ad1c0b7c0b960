#include <QApplication>

#include "support/app_environment.h"

namespace {

const auto* const kRegistered = lexiflip::testing::registerAppEnvironment<QApplication>("lexiflip_widget_tests");

} // namespace
