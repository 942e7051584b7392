#pragma once

#include <array>

// The texts the channels, the relay protocol and the shared process state show or log, each
// defined here once. A "Format" is a printf format for FormatText; its values come in the
// order written beside it.
namespace comm {

// Background processes
inline constexpr const char* kProcessAbortedText = "Выполнение процесса прервано";
inline constexpr const char* kUnknownErrorText = "Неизвестная ошибка";

// Every channel
inline constexpr const char* kChannelNotOpenText = "Канал не открыт";
// An answer was followed at once by more bytes, so it may have been the late answer to an
// earlier request.
inline constexpr const char* kLateAnswerText = "Ответ отброшен: на линии запоздавший ответ на прежний запрос";

// The TCP channel
inline constexpr const char* kPeerClosedText = "Соединение закрыто удаленной стороной";
inline constexpr const char* kBadTcpPortFormat = "Недопустимый номер порта: %d"; // port

// The GPRS channel
inline constexpr const char* kGprsOpenFailedText = "GPRS канал не открыт";
inline constexpr const char* kGprsOpenedText = "GPRS канал открыт";
inline constexpr const char* kGprsClosedText = "GPRS канал закрыт";
inline constexpr const char* kGprsConnectionLostText = "Соединение с серевером разорвано";
inline constexpr const char* kGprsCommandRejectedText = "Неправильные параметры GPRS команды";
inline constexpr const char* kGprsPacketLostText = "Пакет команды потерян";
// The relay thread
inline constexpr const char* kGprsThreadStopText = "Завершение протока GPRS канала";
inline constexpr const char* kNoChannelParamsText = "Нет параметров канала";
inline constexpr const char* kDeviceIdUnknownText = "Прибор с требуемым идентификатором отсутствует";
inline constexpr const char* kServerVersionQueryText = "Запрос версии сервера";
inline constexpr const char* kServerVersionFailedText = "Не удалось запросить версию сервера";
inline constexpr const char* kServerVersionFormat = "GPRS сервер Версия: %d.%d.%d.%d"; // four version bytes
inline constexpr const char* kClientInfoText = "Установка информации о клиенте";
inline constexpr const char* kClientInfoFailedText = "Не удалось установить версию клиента";
inline constexpr const char* kAssociationText = "Асcоциация клиента с UDP каналом";
inline constexpr const char* kAssociationFailedText = "Не удалось выполнить асcоциацию клиента с UDP каналом";
inline constexpr const char* kActivationText = "Активация начала обмена прибора";
inline constexpr const char* kActivationUnconfirmedText = "Сервер не подтвердил активацию начала обмена прибора";

// Exception codes 0 to 7 of a Modbus exception answer; code 5 and codes above 7 have none
// (kUnknownErrorText).
inline constexpr std::array<const char*, 8> kModbusExceptionTexts = {
    "Общая ошибка(без конкретизации причины)",
    "Недопустимый(неподдерживаемый) номер функции",
    "Недопустимый(неверный) номер регистра",
    "Недопустимое значение в поле данных",
    "Внутренняя ошибка прибора",
    nullptr,
    "Устройство занято",
    "Доступ к регистру закрыт",
};

// Durations
inline constexpr const char* kDurationDaysFormat = "%u-сут %02u:%02u"; // days, hours, minutes

} // namespace comm
