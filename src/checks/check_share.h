#pragma once
// What the sets of checks made for one file share. A caller that makes
// several sets of one target (one per thread) puts a CheckShare into the
// target's options ("share"); a factory then reads its data (a glossary,
// its index, dictionaries) once, under a key of its own, and every set
// uses it. Data kept here is const once made, or guards itself.

#include <QMetaType>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>

class CheckShare {
public:
    // The data under `key`, made by `make` on the first call; a caller that
    // comes while another makes it waits for it.
    template <class T>
    std::shared_ptr<const T> once(const QString &key, const std::function<std::shared_ptr<const T>()> &make)
    {
        return std::static_pointer_cast<const T>(
            onceVoid(key, [&make]() -> std::shared_ptr<const void> { return make(); }));
    }

private:
    std::shared_ptr<const void> onceVoid(const QString &key, const std::function<std::shared_ptr<const void>()> &make);

    std::mutex m_lock;
    std::map<QString, std::shared_future<std::shared_ptr<const void>>> m_made;
};

using SharedCheckData = std::shared_ptr<CheckShare>;
Q_DECLARE_METATYPE(SharedCheckData)

// The share in these options ("share"), or null.
SharedCheckData CheckShareOf(const QVariantMap &options);
