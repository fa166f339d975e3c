#pragma once

#include <QNetworkDatagram>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

// Catches whatever reaches 127.0.0.1 on a random TCP port and a random UDP port.
class LoopbackSink : public QObject
{
public:
    bool listen()
    {
        if (!m_tcp.listen(QHostAddress::LocalHost, 0) || !m_udp.bind(QHostAddress::LocalHost, 0))
            return false;
        connect(&m_tcp, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_tcp.nextPendingConnection()) {
                m_overTcp.append("<connection>");
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { m_overTcp.append(socket->readAll()); });
            }
        });
        connect(&m_udp, &QUdpSocket::readyRead, this, [this] {
            while (m_udp.hasPendingDatagrams())
                m_overUdp.append(m_udp.receiveDatagram().data());
        });
        return true;
    }

    quint16 tcpPort() const { return m_tcp.serverPort(); }
    quint16 udpPort() const { return m_udp.localPort(); }
    QByteArray receivedOverTcp() const { return m_overTcp.join("\n---\n").toHex(' '); }
    QByteArray receivedOverUdp() const { return m_overUdp.join("\n---\n").toHex(' '); }

private:
    QTcpServer m_tcp;
    QUdpSocket m_udp;
    QList<QByteArray> m_overTcp;
    QList<QByteArray> m_overUdp;
};
