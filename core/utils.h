#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <cstdint>

class Utils {
public:
    // Named locks, one per shared resource.
    static QMutex _system_mutex;          // shell commands, reading the clock
    static QMutex _file_deal_mutex;       // every file written under /data
    static QMutex _led_para_init_mutex;   // g_set_led_para / g_set_led_setup
    static QMutex _spi_mutex;             // SPI transfers to scaler and FPGA
    static QMutex _bri_set_mutex;         // brightness request to the FPGA worker
    static QMutex _source_hdminfo_mutex;  // per-source timing records

    // Runs a shell command under _system_mutex. 0 when it exited with status 0, else 255.
    static int system_mutex(const QString &command, int *status = nullptr);
    // Same, capturing what the command printed.
    static int popen_mutex(const QString &command, QString *output, int *status = nullptr);
    static void usleep_mutex(unsigned us);
    static void msleep_mutex(unsigned ms);

    // Ticks since `since` (wraps with the counter).
    static uint32_t getTimeSpace(uint32_t since);
    static uint8_t BCC(const uint8_t *data, int len);

    // A decimal octet (one to three digits, 0 to 255), given back without leading zeros,
    // which the network tools would read as octal; null when the text is not one.
    static QString decimal_octet(const QString &text);
    // Four decimal octets joined by dots and nothing else, given back plain; null when not:
    // the only form of address that goes into a command line.
    static QString dotted_quad(const QString &text);
    // Reloads g_str_ip, g_srt_mask, g_str_gateway from the named settings.
    static void getIPAddress();
    // Reconfigures eth0 from the named settings when the interface exists.
    static void initIPAddress();

    // The one writer of files under the data root ("/data"): whole and atomic (a temporary
    // beside it, fsync, rename) under _file_deal_mutex, so a power cut leaves the old file or
    // the new one. The rename puts the file in place of a link instead of writing through it,
    // and a path whose folders lead out of the data root through a link is refused.
    // `board_path` is the path as the board sees it. False, with a trace, when not saved.
    static bool write_file_atomic(const QString &board_path, const QByteArray &data);
    // Removes a file (or a link, not its target) under _file_deal_mutex; within the data root
    // only, as the writer.
    static void remove_file(const QString &board_path);
    // Whether `name` is a temporary the writer made for the file `stored` (a save cut short
    // leaves it); nothing else has such a name.
    static bool is_save_temporary(const QString &name, const QString &stored);

    enum ReadResult { ReadOk = 0, ReadMissing, ReadNotRegular, ReadTooLarge, ReadFailed };
    // Reads a file from /data or the stick without blocking on a FIFO or a device: only a
    // regular file is opened. At most `limit` bytes reach `out`; a longer file gives
    // ReadTooLarge with its first `limit` bytes.
    static ReadResult read_file_bounded(const QString &board_path, qint64 limit, QByteArray *out);
    // Files opened by read_file_bounded so far (tests and benchmarks).
    static int files_read();
};
