[other]
File1=not this one

[Playlist]
file3 = c.mp3
NUMBEROFENTRIES = 3
File1=a.mp3
Title1=A
length1=100
