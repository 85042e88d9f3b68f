#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

// The fuzz input as a file on disk, for the readers that take a path; removed again afterwards.
class InputFile {
public:
    InputFile(const std::uint8_t *data, std::size_t size)
    {
        char name[] = "/tmp/sgx-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        std::size_t written = 0;
        while (written < size) {
            const ssize_t n = write(fd, data + written, size - written);
            if (n <= 0)
                std::abort();
            written += static_cast<std::size_t>(n);
        }
        close(fd);
        m_path = name;
    }
    ~InputFile() { unlink(m_path.c_str()); }
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    [[nodiscard]] const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

[[noreturn]] inline void fuzzFail(const char *what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
