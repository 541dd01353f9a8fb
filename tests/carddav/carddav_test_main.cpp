#include "carddav/server_fixture.h"
#include "program/app_files.h"

#include <QApplication>

#include <cstdio>
#include <gtest/gtest.h>

namespace pw::test {

RadicaleServer& radicale()
{
    static RadicaleServer server;
    return server;
}

XandikosServer& xandikos()
{
    static XandikosServer server;
    return server;
}

}  // namespace pw::test

// One Radicale and one Xandikos server for every test of the binary, started once; a server that
// cannot start fails the run rather than letting its tests pass unheard. Windows run on Qt's
// offscreen platform.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pw::loadBuiltInResources();
    ::testing::InitGoogleTest(&argc, argv);
    pw::test::layOutAddressBooks(pw::test::radicale());
    for (const QString& problem : {pw::test::radicale().start(), pw::test::xandikos().start()}) {
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "An address-book server for these tests did not start: %s\n", qUtf8Printable(problem));
            return 1;
        }
    }
    return RUN_ALL_TESTS();
}
