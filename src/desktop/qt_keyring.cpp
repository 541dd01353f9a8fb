#include "desktop/qt_platform.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace pw {
namespace {

const QString kService = QStringLiteral("Postwick");

// Runs a keyring job to its end; the keyring's own words when it failed. QtKeychain never falls back
// to a file of its own unless told, and it is not told.
QString run(QKeychain::Job& job, const QString& key)
{
    job.setAutoDelete(false);
    job.setKey(key);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return job.error() == QKeychain::NoError ? QString() : job.errorString();
}

}  // namespace

std::expected<void, QString> QtPlatform::storePassword(const QString& key, const QString& password)
{
    QKeychain::WritePasswordJob job(kService);
    job.setTextData(password);
    if (const QString error = run(job, key); !error.isEmpty())
        return std::unexpected(error);
    return {};
}

std::expected<QString, QString> QtPlatform::readPassword(const QString& key)
{
    QKeychain::ReadPasswordJob job(kService);
    if (const QString error = run(job, key); !error.isEmpty())
        return std::unexpected(error);
    return job.textData();
}

}  // namespace pw
