/*
 * A drive database of a handful of made-up drives in the syntax of the
 * system tools' one, for the parser's and the lookup's tests.
 */
#define NOT_AN_ENTRY { "a preprocessor line", \
  "is passed over" }

const drive_settings builtin_knowndrives[] = {
  { "VERSION: 0.1 test table",
    "-", "-",
    "Version information",
    ""
  },
  { "DEFAULT",
    "-", "-",
    "Default settings",
    "-v 9,raw24(raw8),Power_On_Hours "
    "-v 194,tempminmax,Temperature_Celsius "
    "-v 231,raw48,Temperature_Celsius,HDD "
    "-v 233,raw48,Media_Wearout_Indicator,SSD"
  },
  { "Example Spinner 7K, firmware AB12", // before its family, so it wins
    "EXAMPLE ES7K[0-9]{3}",
    "AB12",
    "Counts power-on time in minutes",
    "-v 9,minutes"
  },
  { "Example Spinner 7K",
    "EXAMPLE ES7K[0-9]{3}", "", "",
    "-v 9,msec24hour32,Power_On_Hours_and_Msec "
    "-v 190,tempminmax,Airflow_Temperature_Cel "
    "-v 194,tempminmax,Temperature_Celsius "
    "-v 240,msec24hour32,Head_Flying_Hours"
  },
  { "Example broken entry",
    "EXAMPLE BROKEN" /* a comma is missing */ "",
    "",
    "-v 9,raw48"
  },
  { "Example Flash \"Value\" SSDs",
    "Example SSD [[:digit:]]+[GT]B|"
    "EXFL-[A-Z]+\\.[0-9]", "", "",
    "-v 9,halfminutes "
    "-v 231,temp10x,Drive_Temperature_x10 "
    "-v 241,hex48:w01234,Host_Writes "
    "-F samsung2"
  },
  { "USB: Example bridge; ",
    "0x1234:0x5678",
    "",
    "",
    "-d sat"
  },
/*
}; // builtin_knowndrives[]
 */
