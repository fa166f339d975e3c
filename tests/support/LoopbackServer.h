#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <chrono>
#include <functional>
#include <map>
#include <vector>

// A web server on the loopback interface for tests: it answers GET requests for
// the paths it is given, 404 for any other, and can stall or hold back an answer
// to stand for a slow server, or never end one.
class LoopbackServer
{
public:
    struct Answer {
        // AfterHalf: headers and half the body, then nothing; Endless: the body again and
        // again, with no length, until the client goes.
        enum class Stall { Never, Whole, AfterHalf, Endless };
        int status = 200;
        QByteArray contentType = "text/html";
        QByteArray body;
        QByteArray location; // a redirect's target
        Stall stall = Stall::Never;
    };

    LoopbackServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_sockets.emplace_back(socket);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { readRequest(socket); });
            }
        });
    }

    void serve(const QString &path, const Answer &answer) { m_answers[path] = answer; }
    // The answer for path starts only after this long.
    void holdBack(const QString &path, std::chrono::milliseconds delay) { m_delays[path] = delay; }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    // Called when a stalled answer has been reached.
    void onStall(std::function<void()> stalled) { m_stalled = std::move(stalled); }
    // Closes the server and every connection: nothing is served from now on.
    void stop()
    {
        m_server.close();
        for (const QPointer<QTcpSocket> &socket : m_sockets) {
            if (socket)
                socket->abort();
        }
    }

    // An address on which nothing listens.
    static QUrl closedPortUrl()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    }

private:
    void readRequest(QTcpSocket *socket)
    {
        QByteArray &request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        request.clear();
        const auto found = m_answers.find(path);
        Answer answer = found != m_answers.end() ? found->second : Answer{404, "text/html", "<p>Not found</p>", {}, {}};
        if (answer.stall == Answer::Stall::Whole) {
            if (m_stalled)
                m_stalled();
            return;
        }
        const QPointer<QTcpSocket> held(socket);
        const auto delay = m_delays.find(path);
        QTimer::singleShot(delay != m_delays.end() ? delay->second : std::chrono::milliseconds(0), socket,
                           [this, held, answer] {
            if (held)
                write(held, answer);
        });
    }

    void write(QTcpSocket *socket, const Answer &answer)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Answer\r\nContent-Type: "
            + answer.contentType + "\r\nConnection: close\r\n";
        if (answer.stall != Answer::Stall::Endless)
            head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        if (!answer.location.isEmpty())
            head += "Location: " + answer.location + "\r\n";
        socket->write(head + "\r\n");
        if (answer.stall == Answer::Stall::Endless) {
            // A little more whenever what was written has gone, until the client closes.
            const auto more = [socket, body = answer.body] {
                if (socket->bytesToWrite() < 4 * body.size())
                    socket->write(body);
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
            return;
        }
        if (answer.stall == Answer::Stall::AfterHalf) {
            socket->write(answer.body.left(answer.body.size() / 2));
            socket->flush();
            if (m_stalled)
                m_stalled();
            return;
        }
        socket->write(answer.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    std::map<QString, Answer> m_answers;
    std::map<QString, std::chrono::milliseconds> m_delays;
    std::map<QTcpSocket *, QByteArray> m_requests;
    std::vector<QPointer<QTcpSocket>> m_sockets;
    std::function<void()> m_stalled;
};
