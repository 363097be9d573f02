; DVStorm-RT capture list
; Tape 01 - harbour interviews, shot 2026-10-14
1  00:00:12:05  00:00:48:20  00:00:36:15  D:\capture\tape01\clip001.avi
2  00:01:03:00  00:02:11:12  00:01:08:12  D:\capture\tape01\clip002.avi
;  clip 3 re-logged after the tape dropout
3  00:02:40:18  00:03:05:02  00:00:24:09  D:\capture\tape01\harbour master interview.avi
4  00:04:00:00  00:04:30:00  00:00:30:00  D:\capture\tape01\b-roll.cranes.avi
