// Network namespaces that a test creates for itself: a pinging side and a
// far side joined by a veth pair, torn down again when the object goes.
// Needs the rights to create namespaces (root or CAP_SYS_ADMIN); callers
// skip when create() fails.
#pragma once

#include <QString>
#include <QStringList>

class TestNetns
{
public:
    // Addresses of the pair: the near end in near(), the far end in far().
    static constexpr const char* NearAddress = "198.18.7.1";
    static constexpr const char* FarAddress = "198.18.7.2";
    static constexpr int PrefixLength = 24;

    TestNetns();
    ~TestNetns();
    TestNetns(const TestNetns&) = delete;
    TestNetns& operator=(const TestNetns&) = delete;

    // Creates both namespaces with loopback up, the veth pair (near "qxnear",
    // far "qxfar") addressed and up. False with a reason when that fails.
    bool create(QString* why);
    QString nearName() const { return m_near; }
    QString farName() const { return m_far; }

    // Runs `ip netns exec NAME command...`; true when it exits with 0.
    bool exec(const QString& ns, const QStringList& command, QString* output = nullptr) const;
    // Sets a sysctl inside a namespace.
    bool sysctl(const QString& ns, const QString& key, const QString& value) const;
    // Runs `ip ARGS...`.
    static bool ip(const QStringList& args, QString* output = nullptr);

    // Puts the calling thread into a namespace for the lifetime of the guard.
    // Sockets opened meanwhile belong to that namespace for good.
    class Enter
    {
    public:
        explicit Enter(const QString& ns);
        ~Enter();
        Enter(const Enter&) = delete;
        Enter& operator=(const Enter&) = delete;
        bool ok() const { return m_ok; }

    private:
        int m_saved = -1;
        bool m_ok = false;
    };

private:
    QString m_near;
    QString m_far;
    bool m_created = false;
};
