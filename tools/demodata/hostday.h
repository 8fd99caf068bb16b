#pragma once
// The host's own database of the demo day, as the stand-in host reads it: the
// courses, races and runners with their past races (the six ranking figures
// of each) and the race as run (margins, fourth corner, times). One record a
// line, fields separated by commas:
//   DAY,yyyymmdd
//   COURSE,code,meeting,day
//   RACE,number,class code,class name,track,distance,direction,post time
//        (minutes after midnight),first prize,weather,going,title,conditions
//   HORSE,number,frame,name,sex and age,weight carried (tenths),jockey,
//         abnormal code,result,odds (tenths),popularity,time (tenths),margin,
//         dead heat (0/1),behind the winner (quarter lengths),fourth corner
//   PAST,yyyymmdd,course code,track,distance,figure,place,time,first 3F,
//        last 3F,speed,PCI (times, speed and PCI in tenths)
// Each record belongs to the last record of the level above it. Lines
// starting with "#" are comments.
#include "demoday.h"

#include <QString>
#include <QStringList>

namespace korvin::demodata {

// "Vd000610.txt", in the "Vantor" folder of the program folder.
QString hostDayFileName(const Day &day);
QStringList hostDayLines(const Day &day);
// The day of a host day file; false with the line and the reason in error.
bool readHostDay(const QStringList &lines, Day &day, QString *error);

} // namespace korvin::demodata
