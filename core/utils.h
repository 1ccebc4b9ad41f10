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

    // Reloads g_str_ip, g_srt_mask, g_str_gateway from the named settings.
    static void getIPAddress();
    // Reconfigures eth0 from the named settings when the interface exists.
    static void initIPAddress();

    // Writes a file under the data root whole and atomically (temporary file, fsync,
    // rename) under _file_deal_mutex. `board_path` is the path as the board sees it.
    static bool write_file_atomic(const QString &board_path, const QByteArray &data);
};
