#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Sets (or, given nullptr, unsets) an environment variable until the object goes, then puts
// back what was there. TZ is read again at once both ways, as the C library caches it.
class CEnvironmentScope {
public:
    CEnvironmentScope(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        Set(value);
    }
    ~CEnvironmentScope() { Set(m_old ? m_old->c_str() : nullptr); }
    CEnvironmentScope(const CEnvironmentScope&) = delete;
    CEnvironmentScope& operator=(const CEnvironmentScope&) = delete;

    void Set(const char* value) const {
        if (value != nullptr) {
            ::setenv(m_name.c_str(), value, 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
        if (m_name == "TZ") {
            ::tzset();
        }
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
