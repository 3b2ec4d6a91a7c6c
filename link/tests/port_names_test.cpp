// Port names that are no serial device fail to open at once, and nothing is written to them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "link/tcomm.h"

namespace serial {
namespace {

struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/port_names_XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

TEST(PortNames, ThingsThatAreNoSerialPortFailToOpenAndReceiveNothing) {
    TempDir dir;
    const std::string fifo = dir.path + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int fifoReader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fifoReader, 0);

    const std::string socketPath = dir.path + "/socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    socketPath.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    // A block device node (the first loop device); it may have nothing behind it.
    const std::string block = dir.path + "/block";
    const bool haveBlock = ::mknod(block.c_str(), S_IFBLK | 0600, makedev(7, 0)) == 0;

    const std::string names[] = {
        dir.path,    // a directory
        fifo,        // a named pipe
        socketPath,  // a socket
        "/dev/tty",  // the terminal itself
        "/" + std::string(4000, 'x'),
        haveBlock ? block : std::string("/dev/null"),
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name.substr(0, 60));
        TComm comm;
        comm.setCommName(name);
        try {
            comm.Open();
            ADD_FAILURE() << "opened";
        } catch (const ECommsError& e) {
            const std::string message = e.what();
            EXPECT_TRUE(message == "Error opening serial port" ||
                        message == "File handle is not a comm handle ")
                << message;
        }
        EXPECT_FALSE(comm.isOpen());
        const std::uint8_t frame[] = {0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
        EXPECT_FALSE(comm.WriteData(frame, sizeof frame));
    }
    std::uint8_t byte = 0;
    EXPECT_LE(::read(fifoReader, &byte, 1), 0);  // nothing reached the pipe
    ::close(fifoReader);
    ::close(sock);
}

}  // namespace
}  // namespace serial
