#include "site/InetFailure.h"

void applyTimeouts(HINTERNET handle, const RequestLimits& limits) {
    DWORD milliseconds = limits.m_stepSeconds * 1000;
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
          INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        InternetSetOptionA(handle, option, &milliseconds,
                           sizeof milliseconds);  // best effort: not every handle takes all
}

std::string inetFailureReason(DWORD error, const std::string& host, const RequestLimits& limits) {
    switch (error) {
        case ERROR_INTERNET_TIMEOUT:
            return site::reason::noAnswerWithin(limits.m_stepSeconds);
        case ERROR_INTERNET_CANNOT_CONNECT:
            return "Cannot connect to " + host + ".";
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            return "Cannot find " + host + ".";
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
        case ERROR_HTTP_INVALID_SERVER_RESPONSE:
            return "The connection to " + host + " broke off.";
        case ERROR_INTERNET_INVALID_CA:
        case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        case ERROR_INTERNET_SEC_CERT_REV_FAILED:
        case ERROR_INTERNET_SEC_CERT_REVOKED:
        case ERROR_INTERNET_SEC_CERT_ERRORS:
        case ERROR_INTERNET_SEC_INVALID_CERT:
            return "The site's certificate was refused (error " + std::to_string(error) + ").";
        case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
            return "The secure connection to " + host + " failed or broke off.";
        default:
            return "The connection failed (error " + std::to_string(error) + ").";
    }
}
