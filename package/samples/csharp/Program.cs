// TunaraSample [name ...]: names are files, stream URLs or M3U/PLS lists (full paths); without
// names it plays media\samples.m3u beside the program (copy the zip's samples\media there).
using System;
using System.Windows.Forms;

namespace TunaraSample
{
    internal static class Program
    {
        [STAThread]
        private static void Main(string[] args)
        {
            Application.EnableVisualStyles();
            Application.Run(new PlayerForm(args));
        }
    }
}
