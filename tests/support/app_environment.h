#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lexiflip::testing {

// Sockets, timers, widgets and fonts need an application object on the thread
// that runs the tests: one of type App lives for the whole test program.
// The program's name is its first argument: Qt names the program's folders
// after it. It also confines local network discovery to 127.0.0.1.
template <class App> class AppEnvironment : public ::testing::Environment {
public:
    explicit AppEnvironment(const char* name) : m_name(name) {}

    void SetUp() override
    {
        // Local network discovery reaches this machine alone, also when a
        // test program runs outside ctest, and so do the programs it starts.
        qputenv("LEXIFLIP_DISCOVERY_ADDRESS", "127.0.0.1");
        m_argv[0] = m_name.data();
        m_app = std::make_unique<App>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::string m_name;
    int m_argc = 1;
    char* m_argv[2] = {nullptr, nullptr};
    std::unique_ptr<App> m_app;
};

// Registers the environment; call once, at namespace scope, in one file.
template <class App> const ::testing::Environment* registerAppEnvironment(const char* name)
{
    return ::testing::AddGlobalTestEnvironment(new AppEnvironment<App>(name));
}

} // namespace lexiflip::testing
