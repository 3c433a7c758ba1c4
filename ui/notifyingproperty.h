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

// A property the root state shows under its own name while another object
// (`holder`, a pointer member) keeps it: read and written there, its change
// signal relayed by forwardChanges(). Used without a trailing semicolon.
#define PANEL_FORWARD(Type, name, Setter, holder)                                                            \
    Q_PROPERTY(Type name READ name WRITE Setter NOTIFY name##Changed)                                         \
public:                                                                                                       \
    Type name() const { return holder->name(); }                                                              \
    void Setter(Type v) { holder->Setter(v); }                                                                \
    Q_SIGNAL void name##Changed();                                                                            \
                                                                                                              \
private:

// Relays the change signal of every property of `from` to the signal of the
// same signature on `to`, where `to` declares one.
void forwardChanges(QObject *from, QObject *to);
