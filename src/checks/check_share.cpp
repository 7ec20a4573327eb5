#include "checks/check_share.h"

std::shared_ptr<const void> CheckShare::onceVoid(const QString &key, const std::function<std::shared_ptr<const void>()> &make)
{
    std::promise<std::shared_ptr<const void>> promise;
    std::shared_future<std::shared_ptr<const void>> made;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_made.find(key);
        if (found != m_made.end()) {
            made = found->second;
        } else {
            m_made.emplace(key, promise.get_future().share());
        }
    }
    if (made.valid())
        return made.get();
    std::shared_ptr<const void> data = make();
    promise.set_value(data);
    return data;
}

SharedCheckData CheckShareOf(const QVariantMap &options)
{
    const QVariant given = options.value(QStringLiteral("share"));
    return given.metaType() == QMetaType::fromType<SharedCheckData>() ? given.value<SharedCheckData>()
                                                                      : SharedCheckData();
}
