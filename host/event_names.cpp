#include "event_names.h"

const char* MsgEventMeaning(long msgId)
{
    switch (msgId) {
    case 1: return "engine started or track handling begins";
    case 2: return "playlist position or order changed";
    case 3: return "a plugin asks to launch a URL";
    case 4: return "track started";
    case 5: return "advance handled";
    case 100: return "plugin refused the start";
    case 101: return "no input plugin accepts the file";
    case 102: return "start failed";
    case 104: return "file cannot be opened";
    case 105: return "playlist file added no entry";
    case 106: return "playlist file unusable";
    default: return "unknown";
    }
}

const char* StatusMeaning(long msgId)
{
    switch (msgId) {
    case 200: return "download begins";
    case 201: return "connection open, opening URL";
    case 202: return "server answered an error";
    case 203: return "reading body";
    case 204: return "download complete";
    case 205: return "destination file cannot be created";
    case 206: return "URL cannot be opened";
    default: return "plugin notification";
    }
}
