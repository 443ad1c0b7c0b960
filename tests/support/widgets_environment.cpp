#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Widgets, pixmaps and fonts need an application object on the thread that runs the tests; one
// lives for the whole test program.
class WidgetsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "lexiflip_widget_tests";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

} // namespace
