// Sets an environment variable for one scope and puts back what was there.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <string>

namespace testfiles {

class EnvOverride {
public:
    EnvOverride(const char* name, const std::string& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~EnvOverride()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

}  // namespace testfiles
