// A Modbus RTU server built on libmodbus, for checking our channels against a peer written
// by others: slave 1, holding registers 40001.. holding 0x1000 + i. Prints "ready" once it
// listens on the serial device given, then serves until killed.
#include <modbus.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: modbus-rtu-server DEVICE\n");
        return 2;
    }
    modbus_t* context = modbus_new_rtu(argv[1], 19200, 'N', 8, 1);
    if (!context) {
        std::fprintf(stderr, "modbus_new_rtu failed\n");
        return 1;
    }
    modbus_set_slave(context, 1);
    // Before an exception answer libmodbus pauses for its response time-out to let the line
    // settle; keep that pause short so the tests stay fast.
    modbus_set_response_timeout(context, 0, 50000);
    modbus_mapping_t* mapping = modbus_mapping_new(0, 0, 300, 0);
    if (!mapping || modbus_connect(context) != 0) {
        std::fprintf(stderr, "cannot serve %s: %s\n", argv[1], modbus_strerror(errno));
        return 1;
    }
    for (int i = 0; i < 300; ++i)
        mapping->tab_registers[i] = static_cast<uint16_t>(0x1000 + i);
    std::printf("ready\n");
    std::fflush(stdout);
    uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    for (;;) {
        const int length = modbus_receive(context, query);
        if (length > 0)
            modbus_reply(context, query, length, mapping);
        else if (length < 0 && errno != EMBBADCRC && errno != EMBBADDATA)
            break;
    }
    modbus_mapping_free(mapping);
    modbus_close(context);
    modbus_free(context);
    return 0;
}
