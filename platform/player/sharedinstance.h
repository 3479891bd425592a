#pragma once

#include <memory>

namespace kivora {

// One instance while anybody holds it, made afresh once the last holder has let go.
// User-interface thread only.
template<typename T>
class SharedInstance
{
public:
    template<typename Make>
    std::shared_ptr<T> acquire(Make make)
    {
        std::shared_ptr<T> instance = m_instance.lock();
        if (!instance) {
            instance.reset(make());
            m_instance = instance;
        }
        return instance;
    }
    bool exists() const { return !m_instance.expired(); }

private:
    std::weak_ptr<T> m_instance;
};

} // namespace kivora
