#include "desktop/qt_platform.h"

#include <qt6keychain/keychain.h>

namespace pw {
namespace {

const QString kService = QStringLiteral("Postwick");

// Starts a keyring job, which goes when it has finished; `finished` hears of it unless `context` is
// gone by then. QtKeychain never falls back to a file of its own unless told, and it is not told.
template <typename Job>
void start(Job* job, const QString& key, QObject* context, std::function<void(Job&)> finished)
{
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, context,
                     [job, finished = std::move(finished)] { finished(*job); });
    job->start();
}

}  // namespace

void QtPlatform::storePassword(const QString& key, const QString& password, QObject* context,
                               std::function<void(std::expected<void, QString>)> done)
{
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setTextData(password);
    start<QKeychain::WritePasswordJob>(job, key, context, [done](QKeychain::WritePasswordJob& finished) {
        if (finished.error() != QKeychain::NoError)
            return done(std::unexpected(finished.errorString()));
        done({});
    });
}

void QtPlatform::readPassword(const QString& key, QObject* context,
                              std::function<void(std::expected<QString, QString>)> done)
{
    start<QKeychain::ReadPasswordJob>(new QKeychain::ReadPasswordJob(kService), key, context,
                                      [done](QKeychain::ReadPasswordJob& finished) {
                                          if (finished.error() != QKeychain::NoError)
                                              return done(std::unexpected(finished.errorString()));
                                          done(finished.textData());
                                      });
}

}  // namespace pw
