// The operator's texts for hub status codes and programmer manager states.
#pragma once

#include <QString>

#include <cstdint>

// "New Unprogrammed" ... "ERROR: OTP already Programmed maximum times"; codes outside 0-13
// read "Unknown status <code>".
QString HubStatusText(int32_t status);

// "Programmer Ready" ... "Programmer Status Unknown"; states outside 0-4 read as 4.
QString ManagerStateText(int32_t state);

// Final outcomes of an attempt.
bool IsSuccessStatus(int32_t status);
bool IsFailureStatus(int32_t status);
