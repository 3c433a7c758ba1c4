#pragma once

#include <QObject>

// A notifying property whose setter emits only on a change.
#define PANEL_PROPERTY(Type, name, Setter)                                                                   \
    Q_PROPERTY(Type name READ name WRITE Setter NOTIFY name##Changed)                                         \
public:                                                                                                       \
    Type name() const { return m_##name; }                                                                    \
    void Setter(Type v)                                                                                       \
    {                                                                                                         \
        if (m_##name == v)                                                                                    \
            return;                                                                                           \
        m_##name = v;                                                                                         \
        emit name##Changed();                                                                                 \
    }                                                                                                         \
    Q_SIGNAL void name##Changed();                                                                            \
                                                                                                              \
private:                                                                                                      \
    Type m_##name
